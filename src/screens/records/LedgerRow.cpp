#include "screens/records/LedgerRow.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "records/OVFormat.h"

#include <QPainter>
#include <QStringList>
#include <algorithm>

QString LedgerRow::detail(const LedgerEntry& entry)
{
    QStringList parts{entry.category.name()};
    if (!entry.vendor.isEmpty())
        parts.append(entry.vendor);
    parts.append(entry.crop.isEmpty() ? QStringLiteral("shared") : QStringLiteral("for ") + entry.crop);
    return parts.join(QStringLiteral(" · "));
}

LedgerRow::LedgerRow(const LedgerEntry& entry, QWidget* parent)
    : RecordRow(false, parent), m_entry(entry), m_day(entry.date.display()), m_detail(detail(entry)),
      m_cost(OVFormat::cash(entry.cost))
{
    const OVColors colors;
    m_text = colors.text();
    m_dim = colors.dim();
    m_dayFont = KitMetrics::font(12.5, QFont::DemiBold);
    m_itemFont = KitMetrics::font(13, QFont::Bold);
    m_detailFont = KitMetrics::font(11.5);
    m_costFont = KitMetrics::font(13.5, QFont::ExtraBold);
    setAccessibleName(entry.item);
}

double LedgerRow::contentHeight() const
{
    const double column = lineHeight(m_itemFont) + KitMetrics::pxF(1) + lineHeight(m_detailFont);
    return std::max({column, lineHeight(m_dayFont), lineHeight(m_costFont)});
}

void LedgerRow::paintContent(QPainter& p, const QRectF& content)
{
    const double centre = content.center().y();
    const double gap = KitMetrics::pxF(8);

    const double costWidth = textWidth(m_costFont, m_cost);
    drawLine(p, m_costFont, m_text, content.right() - costWidth, centre, costWidth + 1, m_cost);
    const double right = content.right() - costWidth - gap;

    double x = content.left();
    drawLine(p, m_dayFont, m_text, x, centre, KitMetrics::pxF(120), m_day);
    x += KitMetrics::pxF(120) + gap;

    const double itemHeight = lineHeight(m_itemFont);
    const double detailHeight = lineHeight(m_detailFont);
    const double top = centre - (itemHeight + KitMetrics::pxF(1) + detailHeight) / 2;
    drawLine(p, m_itemFont, m_text, x, top + itemHeight / 2, right - x, m_entry.item);
    drawLine(p, m_detailFont, m_dim, x, top + itemHeight + KitMetrics::pxF(1) + detailHeight / 2, right - x,
             m_detail);
}
