#include "screens/records/PestRow.h"

#include "kit/KitIcons.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>

namespace {

constexpr double symbolFrame = 18;
constexpr double symbolPoints = 15;

} // namespace

QString PestRow::symbolFor(ProblemKind kind)
{
    switch (kind) {
    case ProblemKind::pest:
        return QStringLiteral("ladybug.fill");
    case ProblemKind::disease:
        return QStringLiteral("allergens");
    case ProblemKind::disorder:
    case ProblemKind::other:
        break;
    }
    return QStringLiteral("exclamationmark.triangle.fill");
}

PestRow::PestRow(const PestRecord& record, const QString& plantName, const QString& zoneName,
                 const OVColors& colors, QWidget* parent)
    : RecordRow(!record.resolved && record.severity >= 4, parent), m_record(record)
{
    m_text = colors.text();
    m_dim = colors.dim();
    m_titleFont = KitMetrics::font(14, QFont::Bold);
    m_smallFont = KitMetrics::font(12);

    m_symbol = symbolFor(record.kind);
    m_symbolColor = record.resolved ? OVColors::good() : OVColors::alert();
    m_tags.append({record.kind.name().split(u' ').value(0), OVColors::gray()});
    m_tags.append({QStringLiteral("Severity ") + QString::number(record.severity) + QStringLiteral("/5"),
                   record.severity >= 4 ? OVColors::alert() : colors.accent()});
    if (record.resolved)
        m_tags.append({QStringLiteral("Resolved"), colors.accent()});

    QStringList place;
    for (const QString& part : {plantName, zoneName})
        if (!part.isEmpty())
            place.append(part);
    m_place = place.join(QStringLiteral(" · "));
    if (!record.treatment.isEmpty()) {
        m_treatment = QStringLiteral("Treatment: ") + record.treatment;
        if (record.treated)
            m_treatment += QStringLiteral(" (") + RecordRow::dayText(*record.treated) + QStringLiteral(")");
    }
    if (!record.result.isEmpty())
        m_result = QStringLiteral("Result: ") + record.result;
    m_day = RecordRow::dayText(record.observed);
    setAccessibleName(record.problem);
}

double PestRow::firstLineHeight() const
{
    return std::max(lineHeight(m_titleFont), tagSize(QStringLiteral("Severity")).height());
}

double PestRow::contentHeight() const
{
    const double gap = KitMetrics::pxF(3);
    const double small = lineHeight(m_smallFont);
    double column = firstLineHeight() + gap + small;
    if (!m_treatment.isEmpty())
        column += gap + small;
    if (!m_result.isEmpty())
        column += gap + small;
    return std::max(column, KitMetrics::pxF(symbolPoints));
}

void PestRow::paintContent(QPainter& p, const QRectF& content)
{
    const double gap = KitMetrics::pxF(3);
    const double first = firstLineHeight();
    const double small = lineHeight(m_smallFont);

    // Symbol, top-aligned with the first line.
    const QPixmap icon = KitIcons::pixmap(m_symbol, m_symbolColor, symbolPoints);
    const double frame = KitMetrics::pxF(symbolFrame);
    const QSizeF iconSize = icon.deviceIndependentSize();
    p.drawPixmap(QPointF(content.left() + (frame - iconSize.width()) / 2,
                         content.top() + (first - iconSize.height()) / 2),
                 icon);

    // The day at the right, top-aligned.
    const double dayWidth = textWidth(m_smallFont, m_day);
    drawLine(p, m_smallFont, m_dim, content.right() - dayWidth, content.top() + small / 2, dayWidth + 1, m_day);

    const double spacing = KitMetrics::pxF(12);
    const double x = content.left() + frame + spacing;
    const double width = std::max(0.0, content.right() - dayWidth - spacing - x);

    // Problem and tags: the tags keep their room, the problem gives way.
    double tagsWidth = 0;
    for (const Tag& tag : m_tags)
        tagsWidth += KitMetrics::pxF(6) + tagSize(tag.text).width();
    const double centre = content.top() + first / 2;
    double cursor = x + drawLine(p, m_titleFont, m_text, x, centre, std::max(0.0, width - tagsWidth), m_record.problem);
    for (const Tag& tag : m_tags) {
        cursor += KitMetrics::pxF(6);
        if (cursor + tagSize(tag.text).width() > x + width)
            break;
        cursor += drawTag(p, cursor, centre, tag.text, tag.color);
    }

    double y = content.top() + first + gap;
    drawLine(p, m_smallFont, m_dim, x, y + small / 2, width, m_place);
    y += small + gap;
    if (!m_treatment.isEmpty()) {
        drawLine(p, m_smallFont, m_text, x, y + small / 2, width, m_treatment);
        y += small + gap;
    }
    if (!m_result.isEmpty())
        drawLine(p, m_smallFont, m_dim, x, y + small / 2, width, m_result);
}
