#include "screens/plants/PlantRow.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVTag.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

const QString deleteDetail =
    QStringLiteral("Its photos are deleted too. Harvests and costs stay (they keep the crop name).");

PlantRow::Facts readFacts(OVStore& store, const Plant& plant)
{
    return {store.locationText(plant), store.photoCount(plant.id)};
}

} // namespace

PlantRow::PlantRow(const Plant& plant, OVStore& store, AppModel& model, QWidget* parent)
    : PlantRow(plant, readFacts(store, plant), store, model, OVDay::today(), parent)
{
}

PlantRow::PlantRow(const Plant& plant, const Facts& facts, OVStore& store, AppModel& model, const OVDay& today,
                   QWidget* parent)
    : OVRowBox(overdue(plant, today), parent), m_plant(plant), m_facts(facts), m_today(today), m_store(&store),
      m_model(&model)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    build();
}

bool PlantRow::overdue(const Plant& plant, const OVDay& today)
{
    return plant.status.active() && plant.expectedHarvest && *plant.expectedHarvest < today;
}

Harvest PlantRow::newHarvest(const Plant& plant, const OVDay& today)
{
    Harvest harvest{.plantID = plant.id, .crop = plant.crop, .date = today};
    harvest.quantity = 0;
    harvest.unit = HarvestUnit::lb;
    return harvest;
}

PestRecord PlantRow::newPest(const Plant& plant, const OVDay& today)
{
    PestRecord pest{.observed = today, .plantID = plant.id, .zoneID = plant.zoneID};
    pest.kind = ProblemKind::pest;
    pest.severity = 2;
    return pest;
}

QString PlantRow::statusText() const { return m_plant.status.name(); }

QString PlantRow::countText() const
{
    return m_plant.quantity >= 2 ? QStringLiteral("× %1").arg(m_plant.quantity) : QString();
}

QString PlantRow::placeText() const
{
    return m_facts.place.isEmpty() ? QStringLiteral("No location set") : m_facts.place;
}

namespace {

// Dates are formatted once per row: each one asks the system for its time zone.
QStringList makeDayLines(const Plant& plant)
{
    QStringList lines;
    if (plant.sowDate)
        lines.append(QStringLiteral("Sown ") + plant.sowDate->display());
    if (plant.transplantDate)
        lines.append(QStringLiteral("Transplanted ") + plant.transplantDate->display());
    if (plant.expectedHarvest)
        lines.append(QStringLiteral("Harvest ") + plant.expectedHarvest->display());
    return lines;
}

} // namespace

QString PlantRow::photoText() const
{
    return m_facts.photoCount > 0 ? QString::number(m_facts.photoCount) : QString();
}

void PlantRow::build()
{
    m_dayLines = makeDayLines(m_plant);
    const OVColors colors;
    const bool failed = m_plant.status == PlantStatus::failed;
    const QColor tag = failed                   ? OVColors::alert()
                       : m_plant.status.active() ? colors.accent()
                                                 : OVColors::gray();
    m_nameFont = KitMetrics::font(14, QFont::Bold);
    m_smallFont = KitMetrics::font(12);
    m_dayFont = KitMetrics::font(11.5);
    m_harvestFont = KitMetrics::font(11.5, QFont::DemiBold);
    m_tag = new OVTag(statusText(), tag, this);
    m_tag->resize(m_tag->sizeHint());
    // Text widths are measured once: shaping them on every resize and paint is what
    // would make re-showing many rows slow.
    m_rightWidth = measureRight();
    m_nameWidth = measureName();
    setAccessibleName(nameText() + QStringLiteral(", ") + statusText() + QStringLiteral(", ") + placeText());

    const QMargins margins = body()->contentsMargins();
    const int left = line1Height() + KitMetrics::px(2) + QFontMetrics(m_smallFont).height();
    const QStringList& days = m_dayLines;
    int right = 0;
    for (int i = 0; i < days.size(); ++i)
        right += QFontMetrics(i == days.size() - 1 && m_plant.expectedHarvest ? m_harvestFont : m_dayFont).height() +
                 (i ? KitMetrics::px(2) : 0);
    setFixedHeight(margins.top() + std::max({left, right, KitMetrics::px(18)}) + margins.bottom());
}

int PlantRow::line1Height() const
{
    return std::max({QFontMetrics(m_nameFont).height(), m_tag->height(), QFontMetrics(m_smallFont).height()});
}

int PlantRow::textLeft() const { return body()->contentsMargins().left() + KitMetrics::px(18 + 12); }

int PlantRow::measureRight() const
{
    int width = 0;
    const QStringList& days = m_dayLines;
    for (int i = 0; i < days.size(); ++i) {
        const bool harvest = i == days.size() - 1 && m_plant.expectedHarvest;
        width = std::max(width, qRound(KitMetrics::advance(harvest ? m_harvestFont : m_dayFont, days[i])));
    }
    if (m_facts.photoCount > 0)
        width += (width ? KitMetrics::px(12) : 0) + KitMetrics::px(11.5 + 4) +
                 QFontMetrics(m_dayFont).horizontalAdvance(photoText());
    return width;
}

int PlantRow::measureName() const
{
    return int(std::ceil(KitMetrics::advance(m_nameFont, nameText()))) + 1;
}

int PlantRow::rightWidth() const { return m_rightWidth; }

int PlantRow::fullNameWidth() const { return m_nameWidth; }

int PlantRow::nameWidth() const
{
    const int available = width() - body()->contentsMargins().right() - rightWidth() - KitMetrics::px(12) - textLeft();
    return std::min(fullNameWidth(), std::max(0, available - m_tag->width() - KitMetrics::px(6)));
}

void PlantRow::resizeEvent(QResizeEvent* event)
{
    OVRowBox::resizeEvent(event);
    // The tag stands after the name on the first line.
    const QMargins margins = body()->contentsMargins();
    const int top = (height() - margins.top() - margins.bottom() - (line1Height() + KitMetrics::px(2) +
                                                                     QFontMetrics(m_smallFont).height())) / 2 +
                    margins.top();
    m_tag->move(textLeft() + nameWidth() + KitMetrics::px(6), top + (line1Height() - m_tag->height()) / 2);
}

void PlantRow::paintEvent(QPaintEvent* event)
{
    OVRowBox::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const OVColors colors;
    const QMargins margins = body()->contentsMargins();
    const QRect content = rect().marginsRemoved(margins);
    const bool failed = m_plant.status == PlantStatus::failed;

    if (hasFocus()) {
        // Keyboard focus (Tab): Space or Return opens the editor.
        p.setPen(QPen(colors.accent(), KitMetrics::pxF(2)));
        p.setBrush(Qt::NoBrush);
        const qreal inset = KitMetrics::pxF(1);
        p.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), KitMetrics::pxF(13),
                          KitMetrics::pxF(13));
    }

    // The leaf, centred in its 18-point frame.
    const QPixmap leaf = KitIcons::pixmap(QStringLiteral("leaf.fill"), failed ? OVColors::alert() : OVColors::leaf(), 16);
    const QSizeF leafSize = leaf.deviceIndependentSize();
    p.drawPixmap(QPointF(content.left() + (KitMetrics::px(18) - leafSize.width()) / 2.0,
                         content.center().y() - leafSize.height() / 2.0 + 0.5),
                 leaf);

    // The right-hand side: the photo label at the edge, the day column before it.
    int right = content.right() + 1;
    if (m_facts.photoCount > 0) {
        const QFontMetrics fm(m_dayFont);
        const int textWidth = fm.horizontalAdvance(photoText());
        p.setFont(m_dayFont);
        p.setPen(colors.dim());
        p.drawText(QRect(right - textWidth, content.top(), textWidth, content.height()), Qt::AlignVCenter | Qt::AlignRight,
                   photoText());
        const QPixmap icon = KitIcons::pixmap(QStringLiteral("photo"), colors.dim(), 11.5);
        const QSizeF iconSize = icon.deviceIndependentSize();
        right -= textWidth + KitMetrics::px(4);
        p.drawPixmap(QPointF(right - iconSize.width(), content.center().y() - iconSize.height() / 2.0 + 0.5), icon);
        right -= int(iconSize.width()) + KitMetrics::px(12);
    }
    const QStringList& days = m_dayLines;
    int daysHeight = 0;
    QList<QFont> fonts;
    for (int i = 0; i < days.size(); ++i) {
        const bool harvest = i == days.size() - 1 && m_plant.expectedHarvest;
        fonts.append(harvest ? m_harvestFont : m_dayFont);
        daysHeight += QFontMetrics(fonts.last()).height() + (i ? KitMetrics::px(2) : 0);
    }
    int y = content.top() + (content.height() - daysHeight) / 2;
    for (int i = 0; i < days.size(); ++i) {
        const bool harvest = i == days.size() - 1 && m_plant.expectedHarvest;
        const int h = QFontMetrics(fonts[i]).height();
        p.setFont(fonts[i]);
        p.setPen(harvest ? colors.text() : colors.dim());
        p.drawText(QRect(content.left(), y, right - content.left(), h), Qt::AlignRight | Qt::AlignVCenter, days[i]);
        y += h + KitMetrics::px(2);
    }

    // The texts: name, tag (a child), count; then the place.
    const int left = textLeft();
    const int available = content.right() + 1 - rightWidth() - KitMetrics::px(12) - left;
    const int line1 = line1Height();
    const int smallHeight = QFontMetrics(m_smallFont).height();
    const int top = content.top() + (content.height() - (line1 + KitMetrics::px(2) + smallHeight)) / 2;
    const QFontMetrics nameMetrics(m_nameFont);
    const int nameRoom = nameWidth();
    p.setFont(m_nameFont);
    p.setPen(colors.text());
    p.drawText(QRect(left, top, nameRoom, line1), Qt::AlignLeft | Qt::AlignVCenter,
               nameRoom >= fullNameWidth() ? nameText() : nameMetrics.elidedText(nameText(), Qt::ElideRight, nameRoom));
    if (!countText().isEmpty()) {
        const int x = m_tag->x() + m_tag->width() + KitMetrics::px(6);
        p.setFont(m_smallFont);
        p.setPen(colors.dim());
        p.drawText(QRect(x, top, std::max(0, left + available - x), line1), Qt::AlignLeft | Qt::AlignVCenter,
                   countText());
    }
    p.setFont(m_smallFont);
    p.setPen(colors.dim());
    const QFontMetrics smallMetrics(m_smallFont);
    p.drawText(QRect(left, top + line1 + KitMetrics::px(2), std::max(0, available), smallHeight),
               Qt::AlignLeft | Qt::AlignVCenter, smallMetrics.elidedText(placeText(), Qt::ElideRight, available));
}

void PlantRow::edit() { m_model->setSheet(EditSheet(m_plant)); }

void PlantRow::logHarvest() { m_model->setSheet(EditSheet(newHarvest(m_plant))); }

void PlantRow::logPest() { m_model->setSheet(EditSheet(newPest(m_plant))); }

void PlantRow::askDelete()
{
    AppModel* model = m_model;
    OVStore* store = m_store;
    const qint64 id = m_plant.id;
    model->askDelete(QStringLiteral("“") + m_plant.displayName() + QStringLiteral("”"), deleteDetail,
                     [model, store, id] { model->act([store, id] { store->remove<Plant>(id); }); });
}

QMenu* PlantRow::makeMenu()
{
    // Each action works on copies, so it still runs correctly when the list has
    // replaced this row by the time the user picks it.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    AppModel* model = m_model;
    OVStore* store = m_store;
    const Plant plant = m_plant;
    connect(menu->addAction(QStringLiteral("Edit…")), &QAction::triggered, model,
            [model, plant] { model->setSheet(EditSheet(plant)); });
    connect(menu->addAction(QStringLiteral("Log a Harvest…")), &QAction::triggered, model,
            [model, plant] { model->setSheet(EditSheet(newHarvest(plant))); });
    connect(menu->addAction(QStringLiteral("Log a Pest or Disease…")), &QAction::triggered, model,
            [model, plant] { model->setSheet(EditSheet(newPest(plant))); });
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("Delete…")), &QAction::triggered, model, [model, store, plant] {
        const qint64 id = plant.id;
        model->askDelete(QStringLiteral("“") + plant.displayName() + QStringLiteral("”"), deleteDetail,
                         [model, store, id] { model->act([store, id] { store->remove<Plant>(id); }); });
    });
    return menu;
}

void PlantRow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        edit();
        event->accept();
        return;
    }
    OVRowBox::mouseReleaseEvent(event);
}

void PlantRow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        edit();
        return;
    }
    OVRowBox::keyPressEvent(event);
}

void PlantRow::contextMenuEvent(QContextMenuEvent* event)
{
    makeMenu()->popup(event->globalPos());
    event->accept();
}

void PlantRow::focusInEvent(QFocusEvent* event)
{
    OVRowBox::focusInEvent(event);
    update();
}

void PlantRow::focusOutEvent(QFocusEvent* event)
{
    OVRowBox::focusOutEvent(event);
    update();
}
