#include "KitGallery.h"

#include "kit/KitMetrics.h"
#include "kit/OVAddButton.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVDayPicker.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVEmpty.h"
#include "kit/OVField.h"
#include "kit/OVLabel.h"
#include "kit/OVOptionalDayPicker.h"
#include "kit/OVPage.h"
#include "kit/OVRowBox.h"
#include "kit/OVStepper.h"
#include "kit/OVTag.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "kit/QNChromeButton.h"
#include "kit/QNSearchField.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLayout>
#include <QVBoxLayout>

namespace kitgallery {

namespace {

OVRowBox* row(const QString& name, const QString& detail, bool highlight, const QList<std::pair<QString, QColor>>& tags)
{
    const OVColors c;
    auto* box = new OVRowBox(highlight);
    auto* line = new QHBoxLayout;
    line->setSpacing(KitMetrics::px(10));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(KitMetrics::px(2));
    texts->addWidget(new OVLabel(name, 14, QFont::Bold));
    texts->addWidget(new OVLabel(detail, 12, QFont::Normal, c.dim()));
    line->addLayout(texts);
    for (const auto& [text, color] : tags)
        line->addWidget(new OVTag(text, color), 0, Qt::AlignVCenter);
    line->addStretch(1);
    line->addWidget(new QNChromeButton(QStringLiteral("Edit"), false, true));
    box->body()->addLayout(line);
    return box;
}

} // namespace

QWidget* makePage()
{
    const OVColors c;
    auto* page = new OVPage(Screen::plants, QStringLiteral("Every plant in your greenhouses, from seed to harvest."));
    page->addTrailing(new QNChromeButton(QStringLiteral("Export CSV")));
    page->addTrailing(new OVAddButton(QStringLiteral("Add Plant")));

    auto* rows = new OVCard(QStringLiteral("Plants & Crops"), QStringLiteral("leaf.fill"));
    rows->body()->addWidget(row(QStringLiteral("Tomato — Sungold"), QStringLiteral("North House · Bench A · sown Mar 7, 2026"),
                                false, {{QStringLiteral("Fruiting"), OVColors::good()}, {QStringLiteral("Heirloom"), c.accent()}}));
    rows->body()->addWidget(row(QStringLiteral("Basil"), QStringLiteral("Aphids seen on 3 plants & spreading"), true,
                                {{QStringLiteral("Pest"), OVColors::alert()}}));
    rows->body()->addWidget(row(QStringLiteral("Pepper <b>not bold</b>"), QStringLiteral("Plain text: <i>markup is shown as typed</i>"),
                                false, {{QStringLiteral("Planned"), OVColors::warmLight()}}));
    page->content()->addWidget(rows);

    auto* plain = new OVCard;
    plain->body()->addWidget(new OVEmpty(QStringLiteral("leaf"), QStringLiteral("No plants yet"),
                                         QStringLiteral("Add your first plant to start tracking sowing, transplanting and harvest days. "
                                                        "A long message wraps onto further lines and stays centred.")));
    page->content()->addWidget(plain);

    auto* controls = new OVCard(QStringLiteral("Buttons and search"), QStringLiteral("gearshape.fill"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(KitMetrics::px(10));
    buttons->addWidget(new QNChromeButton(QStringLiteral("Plain")));
    buttons->addWidget(new QNChromeButton(QStringLiteral("Compact"), false, true));
    buttons->addWidget(new QNChromeButton(QStringLiteral("Prominent"), true));
    buttons->addWidget(new QNChromeButton(QStringLiteral("Prominent compact"), true, true));
    auto* symbolled = new QNChromeButton(QStringLiteral("Seeds & Bulbs"));
    symbolled->setSymbol(QStringLiteral("square.and.arrow.up"));
    buttons->addWidget(symbolled);
    auto* off = new QNChromeButton(QStringLiteral("Disabled"));
    off->setEnabled(false);
    buttons->addWidget(off);
    buttons->addStretch(1);
    controls->body()->addLayout(buttons);
    auto* searches = new QHBoxLayout;
    searches->setSpacing(KitMetrics::px(10));
    searches->addWidget(new QNSearchField(QStringLiteral("Search plants")));
    auto* filled = new QNSearchField(QStringLiteral("Search plants"));
    filled->setText(QStringLiteral("tomato"));
    searches->addWidget(filled);
    controls->body()->addLayout(searches);
    page->content()->addWidget(controls);

    auto* form = new OVCard(QStringLiteral("Form fields"), QStringLiteral("square.and.pencil"), 16);
    form->body()->addWidget(new OVField(QStringLiteral("Crop"), new OVTextField(QStringLiteral("e.g. Tomato"))));
    form->body()->addWidget(new OVField(QStringLiteral("Variety"), new OVTextField(QStringLiteral("e.g. Sungold"), QStringLiteral("Sungold F1")),
                                        QStringLiteral("Optional. Shown after the crop, as in \"Tomato — Sungold\".")));
    form->body()->addWidget(new OVField(QStringLiteral("Notes"), new OVTextArea(QStringLiteral("First line\nSecond line"), 50)));
    auto* days = new QHBoxLayout;
    days->setSpacing(KitMetrics::px(16));
    days->addWidget(new OVField(QStringLiteral("First day"), new OVDayPicker(OVDay(2026, 3, 7))));
    days->addWidget(new OVField(QStringLiteral("Sown"), new OVOptionalDayPicker(QStringLiteral("Sown"), OVDay(2026, 3, 1))));
    days->addWidget(new OVField(QStringLiteral("Transplanted"), new OVOptionalDayPicker(QStringLiteral("Transplanted"), std::nullopt)));
    auto* stepper = new OVStepper(1, 30, 1);
    stepper->setValue(45);
    stepper->setFormatter([](int v) { return QStringLiteral("Every %1 days").arg(v); });
    days->addWidget(new OVField(QStringLiteral("Repeat"), stepper));
    days->addStretch(1);
    form->body()->addLayout(days);
    page->content()->addWidget(form);
    return page;
}

QWidget* makeEditor()
{
    auto* frame = new OVEditorFrame(QStringLiteral("Edit Harvest"), QStringLiteral("basket.fill"), 560);
    frame->body()->addWidget(new OVField(QStringLiteral("Crop"), new OVTextField(QStringLiteral("Crop"), QStringLiteral("Tomato"))));
    frame->body()->addWidget(new OVField(QStringLiteral("Quantity"), new OVTextField(QStringLiteral("0"), QStringLiteral("1,250")),
                                         QStringLiteral("Numbers may use a decimal comma.")));
    frame->body()->addWidget(new OVField(QStringLiteral("Date"), new OVDayPicker(OVDay(2026, 6, 15))));
    frame->body()->addWidget(new OVField(QStringLiteral("Notes"), new OVTextArea(QString(), 50)));
    frame->setError(QStringLiteral("Enter a quantity greater than zero. This long error text wraps onto a second line instead of being cut off."));
    frame->setSaveTitle(QStringLiteral("Save Harvest"));
    return frame;
}

QImage render(QWidget& w, int width)
{
    w.setAttribute(Qt::WA_DontShowOnScreen);
    w.resize(width, 900);
    w.show();
    QApplication::processEvents();
    int height = w.sizeHint().height();
    if (QLayout* l = w.layout(); l && l->hasHeightForWidth())
        height = l->totalHeightForWidth(width);
    height = std::max(height, w.minimumSizeHint().height());
    if (w.maximumHeight() < height)
        height = w.maximumHeight();
    w.resize(width, height);
    QApplication::processEvents();
    return w.grab().toImage();
}

} // namespace kitgallery
