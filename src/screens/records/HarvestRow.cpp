#include "screens/records/HarvestRow.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "records/OVFormat.h"

#include <QPainter>
#include <algorithm>

QString HarvestRow::amount(const Harvest& harvest)
{
    return OVFormat::num(harvest.quantity, 2) + u' ' + harvest.unit.rawValue();
}

HarvestRow::HarvestRow(const Harvest& harvest, const QString& variety, QWidget* parent)
    : RecordRow(false, parent), m_harvest(harvest), m_day(harvest.date.display()), m_variety(variety),
      m_amount(amount(harvest))
{
    const OVColors colors;
    m_text = colors.text();
    m_dim = colors.dim();
    m_dayFont = KitMetrics::font(12.5, QFont::DemiBold);
    m_cropFont = KitMetrics::font(13, QFont::Bold);
    m_varietyFont = KitMetrics::font(12);
    m_amountFont = KitMetrics::font(13, QFont::DemiBold);
    m_qualityFont = KitMetrics::font(11.5);
    setAccessibleName(harvest.crop);
}

double HarvestRow::contentHeight() const
{
    return std::max({lineHeight(m_dayFont), lineHeight(m_cropFont), lineHeight(m_amountFont)});
}

void HarvestRow::paintContent(QPainter& p, const QRectF& content)
{
    const double centre = content.center().y();
    const double gap = KitMetrics::pxF(8);

    // Right side first: amount and quality keep their room.
    double right = content.right();
    if (!m_harvest.quality.isEmpty()) {
        const double w = std::min(textWidth(m_qualityFont, m_harvest.quality), content.width() / 4);
        drawLine(p, m_qualityFont, m_dim, right - w, centre, w + 1, m_harvest.quality);
        right -= w + gap;
    }
    const double amountWidth = textWidth(m_amountFont, m_amount);
    drawLine(p, m_amountFont, m_text, right - amountWidth, centre, amountWidth + 1, m_amount);
    right -= amountWidth + gap;

    double x = content.left();
    drawLine(p, m_dayFont, m_text, x, centre, KitMetrics::pxF(120), m_day);
    x += KitMetrics::pxF(120) + gap;
    x += drawLine(p, m_cropFont, m_text, x, centre, right - x, m_harvest.crop);
    if (!m_variety.isEmpty())
        drawLine(p, m_varietyFont, m_dim, x + gap, centre, right - x - gap, m_variety);
}
