#include "app/SideRail.h"

#include "app/DividerLine.h"
#include "app/RailBadge.h"
#include "app/RailButton.h"
#include "app/RailCredit.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"
#include "kit/OVScroll.h"
#include "services/AppModel.h"

#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace {

OVLabel* trackedLabel(const QString& text, double points, double tracking, const QColor& color)
{
    auto* label = new OVLabel(text, points, QFont::ExtraBold, color);
    QFont font = label->font();
    font.setLetterSpacing(QFont::AbsoluteSpacing, KitMetrics::pxF(tracking));
    label->setFont(font);
    return label;
}

} // namespace

SideRail::SideRail(QWidget* parent) : SideRail(AppModel::shared(), parent) {}

SideRail::SideRail(AppModel& model, QWidget* parent) : QWidget(parent), m_model(model)
{
    setFixedWidth(KitMetrics::px(railWidth));
    const OVColors colors;

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // Badge and name.
    auto* header = new QHBoxLayout;
    header->setContentsMargins(KitMetrics::px(16), KitMetrics::px(16), KitMetrics::px(16), KitMetrics::px(12));
    header->setSpacing(KitMetrics::px(10));
    header->addWidget(new RailBadge);
    auto* name = new QVBoxLayout;
    name->setSpacing(0);
    name->addWidget(trackedLabel(QStringLiteral("QNMR"), 11, 2, OVColors::leaf()));
    name->addWidget(new OVLabel(QStringLiteral("Orvane"), 15, QFont::ExtraBold, colors.text()));
    header->addLayout(name);
    header->addStretch(1);
    column->addLayout(header);

    // The screens, group by group; captions, lines and buttons are all items of one
    // stack, so every two neighbours are 3 points apart.
    auto* list = new QWidget;
    auto* items = new QVBoxLayout(list);
    items->setContentsMargins(KitMetrics::px(10), 0, KitMetrics::px(10), KitMetrics::px(10));
    items->setSpacing(KitMetrics::px(3));
    QColor captionColor = colors.dim();
    captionColor.setAlphaF(captionColor.alphaF() * 0.9f);
    for (const ScreenGroup& group : Screen::groups()) {
        if (!group.name.isEmpty()) {
            OVLabel* caption = trackedLabel(group.name.toUpper(), 10, 1.2, captionColor);
            caption->setContentsMargins(KitMetrics::px(14), KitMetrics::px(10), KitMetrics::px(14), KitMetrics::px(2));
            items->addWidget(caption);
        } else {
            auto* line = new QWidget;
            auto* lineLayout = new QVBoxLayout(line);
            lineLayout->setContentsMargins(KitMetrics::px(10), KitMetrics::px(8), KitMetrics::px(10), KitMetrics::px(8));
            lineLayout->addWidget(new DividerLine(Qt::Horizontal, 0.25));
            items->addWidget(line);
        }
        for (const Screen screen : group.screens) {
            auto* button = new RailButton(screen, m_model.screen() == screen);
            connect(button, &QAbstractButton::clicked, this, [this, screen] { m_model.setScreen(screen); });
            items->addWidget(button);
            m_buttons.append(button);
        }
    }
    items->addStretch(1);
    column->addWidget(new OVScroll(list), 1);
    list->setAutoFillBackground(false); // the scroll area turns it on; the rail's shade shows through

    // The maker's credit.
    auto* foot = new QVBoxLayout;
    foot->setContentsMargins(KitMetrics::px(14), KitMetrics::px(14), KitMetrics::px(14), KitMetrics::px(14));
    foot->setSpacing(KitMetrics::px(6));
    foot->addWidget(new RailCredit, 0, Qt::AlignLeft);
    column->addLayout(foot);

    connect(&m_model, &AppModel::screenChanged, this, &SideRail::select);
}

void SideRail::select()
{
    for (RailButton* button : std::as_const(m_buttons))
        button->setSelected(button->screen() == m_model.screen());
}

void SideRail::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QLinearGradient shade(0, 0, 0, height());
    shade.setColorAt(0, QColor::fromRgbF(0, 0, 0, 0.30f));
    shade.setColorAt(1, QColor::fromRgbF(0, 0, 0, 0.42f));
    p.fillRect(rect(), shade);
}
