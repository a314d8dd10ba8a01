#include "screens/library/CropDetail.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVAddButton.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVLinkButton.h"
#include "kit/OVRowBox.h"
#include "records/Metric.h"
#include "records/Plant.h"
#include "services/AppModel.h"
#include "services/Opener.h"
#include "services/ReferenceLibrary.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

QString temp(double fahrenheit)
{
    return Metric(Metric::temp).format(fahrenheit);
}

const QString noNumber = QStringLiteral("No number given in the sources");

} // namespace

CropDetail::CropDetail(const RefCrop& crop, AppModel& model, const ReferenceLibrary& library, QWidget* parent)
    : QWidget(parent), m_crop(crop), m_model(model), m_lib(library)
{
    const OVColors colors;
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* card = new OVCard;
    outer->addWidget(card);
    QVBoxLayout* col = card->body();
    col->setSpacing(KitMetrics::px(12));

    auto* header = new QHBoxLayout;
    auto* names = new QVBoxLayout;
    names->setSpacing(KitMetrics::px(2));
    names->addWidget(new OVLabel(crop.name, 24, QFont::ExtraBold));
    if (!crop.season.isEmpty())
        names->addWidget(new OVLabel(crop.season, 13, QFont::DemiBold, OVColors::leaf()));
    header->addLayout(names);
    header->addStretch(1);
    auto* start = new OVAddButton(QStringLiteral("Start a Planting"));
    connect(start, &QPushButton::clicked, this,
            [this] { m_model.setSheet(EditSheet(newPlanting(m_crop))); });
    header->addWidget(start, 0, Qt::AlignVCenter);
    col->addLayout(header);

    auto* temps = new OVLabel(crop.growTemps, 13.5);
    temps->setWrapping(true);
    col->addWidget(temps);

    struct Fact {
        QString label, symbol, value;
        QStringList keys;
    };
    QList<Fact> facts = {
        {QStringLiteral("Growing temperature"), QStringLiteral("thermometer.sun.fill"), growingText(crop),
         crop.tempSources},
        {QStringLiteral("Soil temperature for seeding"), QStringLiteral("thermometer.low"), soilText(crop),
         crop.germSources},
        {QStringLiteral("Spacing"), QStringLiteral("ruler"), crop.spacing.isEmpty() ? QStringLiteral("—") : crop.spacing,
         crop.spacingSources},
        {QStringLiteral("Planting depth"), QStringLiteral("arrow.down.to.line"),
         crop.depth.isEmpty() ? QStringLiteral("—") : crop.depth, crop.spacingSources},
        {QStringLiteral("Days to maturity"), QStringLiteral("calendar"), crop.maturityText(), crop.maturitySources},
        {QStringLiteral("Days to germinate"), QStringLiteral("sparkles"),
         crop.daysToGerminate.isEmpty() ? QStringLiteral("—") : crop.daysToGerminate + QStringLiteral(" days"),
         crop.germSources},
    };
    if (!crop.transplantWeeks.isEmpty())
        facts.append({QStringLiteral("Transplant age"), QStringLiteral("arrow.up.bin"),
                      crop.transplantWeeks + QStringLiteral(" weeks from seeding"), crop.maturitySources});
    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(KitMetrics::px(10));
    grid->setHorizontalSpacing(KitMetrics::px(8));
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    for (int i = 0; i < facts.size(); ++i)
        grid->addWidget(fact(facts[i].label, facts[i].symbol, facts[i].value, facts[i].keys), i / 2, i % 2,
                        Qt::AlignTop);
    col->addLayout(grid);

    if (!crop.notes.isEmpty()) {
        auto* notes = new OVLabel(crop.notes, 12.5, QFont::Normal, colors.dim());
        notes->setWrapping(true);
        col->addWidget(notes);
    }

    auto* divider = new QFrame;
    divider->setFixedHeight(1);
    divider->setAutoFillBackground(true);
    QPalette pal = divider->palette();
    QColor line = colors.text();
    line.setAlphaF(0.3f);
    pal.setColor(QPalette::Window, line);
    divider->setPalette(pal);
    col->addWidget(divider);

    auto* heading = new OVLabel(QStringLiteral("SOURCES"), 10, QFont::ExtraBold, colors.dim());
    QFont headingFont = heading->font();
    headingFont.setLetterSpacing(QFont::AbsoluteSpacing, KitMetrics::pxF(1));
    heading->setFont(headingFont);
    col->addWidget(heading);

    for (const QString& key : crop.allSourceKeys()) {
        const auto found = m_lib.sources().constFind(key);
        if (found == m_lib.sources().constEnd())
            continue;
        auto* entry = new QVBoxLayout;
        entry->setSpacing(KitMetrics::px(1));
        auto* link = new OVLinkButton(found->publisher + QStringLiteral(" — ") + found->title, 12, QFont::DemiBold,
                                      OVColors::leaf());
        link->label()->setWrapping(true);
        link->setToolTip(found->url.toString());
        const QUrl url = found->url;
        connect(link, &QAbstractButton::clicked, this, [url] { Opener::open(url); });
        entry->addWidget(link);
        auto* detail = new OVLabel(found->url.toString() + QStringLiteral(" · checked ") + found->checked, 10.5,
                                   QFont::Normal, colors.dim());
        detail->setWrapping(true);
        detail->setTextInteractionFlags(Qt::TextSelectableByMouse);
        entry->addWidget(detail);
        col->addLayout(entry);
    }

    auto* closing = new OVLabel(
        QStringLiteral("Values are copied from the sources above (temperatures in °F in the sources; shown in your "
                       "unit). Spacing for Texas A&M and UGA rows is for field rows; Colorado State spacing is for "
                       "block-style beds. Always check your seed packet for your variety."),
        11, QFont::Normal, colors.dim());
    closing->setWrapping(true);
    col->addWidget(closing);
}

QString CropDetail::growingText(const RefCrop& crop)
{
    if (!crop.growLow && !crop.growHigh)
        return noNumber;
    QString basis = QStringLiteral("preferred range");
    if (crop.growBasis == QStringLiteral("day"))
        basis = QStringLiteral("days");
    else if (crop.growBasis == QStringLiteral("mean"))
        basis = QStringLiteral("average (mean)");
    QString range;
    if (crop.growLow && crop.growHigh)
        range = *crop.growLow == *crop.growHigh ? temp(*crop.growLow)
                                                : temp(*crop.growLow) + QStringLiteral(" to ") + temp(*crop.growHigh);
    else if (crop.growLow)
        range = temp(*crop.growLow) + QStringLiteral("+");
    else
        range = QStringLiteral("up to ") + temp(*crop.growHigh);
    QString nights;
    if (crop.nightLow) {
        nights = QStringLiteral(" · nights ") + temp(*crop.nightLow);
        if (crop.nightHigh)
            nights += QStringLiteral(" to ") + temp(*crop.nightHigh);
    }
    return range + QLatin1Char(' ') + basis + nights;
}

QString CropDetail::soilText(const RefCrop& crop)
{
    QStringList parts;
    if (crop.germMin)
        parts << QStringLiteral("min ") + temp(*crop.germMin);
    if (crop.germOpt)
        parts << QStringLiteral("best ") + temp(*crop.germOpt);
    if (crop.germMax)
        parts << QStringLiteral("max ") + temp(*crop.germMax);
    return parts.isEmpty() ? noNumber : parts.join(QStringLiteral(" · "));
}

QString CropDetail::sourceLine(const QStringList& keys, const ReferenceLibrary& library)
{
    QStringList names;
    for (const QString& key : keys) {
        const auto found = library.sources().constFind(key);
        names << (found == library.sources().constEnd() ? key : found->shortLabel());
    }
    return QStringLiteral("Source: ") + names.join(QStringLiteral(", "));
}

Plant CropDetail::newPlanting(const RefCrop& crop)
{
    Plant plant;
    plant.crop = crop.name;
    plant.refCropID = crop.id;
    plant.sowDate = OVDay::today();
    plant.status = PlantStatus::planned;
    plant.quantity = 1;
    return plant;
}

QWidget* CropDetail::fact(const QString& label, const QString& symbol, const QString& value, const QStringList& keys)
{
    const OVColors colors;
    auto* box = new OVRowBox(false);
    box->body()->setSpacing(KitMetrics::px(3));
    auto* caption = new QHBoxLayout;
    caption->setSpacing(KitMetrics::px(4));
    caption->addWidget(KitIcons::label(symbol, colors.dim(), 10));
    caption->addWidget(new OVLabel(label.toUpper(), 10, QFont::ExtraBold, colors.dim()));
    caption->addStretch(1);
    box->body()->addLayout(caption);
    auto* valueLabel = new OVLabel(value, 13, QFont::DemiBold);
    valueLabel->setWrapping(true);
    box->body()->addWidget(valueLabel);
    auto* source = new OVLabel(sourceLine(keys, m_lib), 10, QFont::Normal, colors.dim());
    source->setWrapping(true);
    box->body()->addWidget(source);
    return box;
}
