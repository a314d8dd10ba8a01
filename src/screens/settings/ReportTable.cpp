#include "screens/settings/ReportTable.h"

#include "kit/KitMetrics.h"
#include "kit/KitPaint.h"
#include "kit/OVColors.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

ReportTable::ReportTable(const ReportTableText& table, QWidget* parent) : QWidget(parent), m_table(table)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QList<ReportTable::Row> ReportTable::rows() const
{
    const OVColors colors;
    QList<Row> out;
    out.append({m_table.header, true, KitPaint::withAlpha(colors.accent(), 0.55)});
    for (qsizetype i = 0; i < m_table.rows.size(); ++i)
        out.append({m_table.rows.at(i), false, KitPaint::withAlpha(Qt::black, i % 2 == 0 ? 0.18 : 0.08)});
    out.append({m_table.total, true, KitPaint::withAlpha(OVColors::warmLight(), 0.22)});
    return out;
}

int ReportTable::rowHeight() const
{
    return QFontMetrics(KitMetrics::font(12, QFont::Bold)).height() + 2 * KitMetrics::px(6);
}

QSize ReportTable::sizeHint() const
{
    return QSize(KitMetrics::px(400), rowHeight() * int(m_table.rows.size() + 2));
}

QSize ReportTable::minimumSizeHint() const
{
    return QSize(KitMetrics::px(100), sizeHint().height());
}

QString ReportTable::cellText(const QString& text, bool bold, int width) const
{
    const QFontMetrics metrics(KitMetrics::font(12, bold ? QFont::Bold : QFont::Normal));
    return metrics.elidedText(text, Qt::ElideRight, std::max(0, width));
}

void ReportTable::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(rect()), KitMetrics::pxF(12), KitMetrics::pxF(12));
    p.setClipPath(clip);
    const int h = rowHeight();
    const int padX = KitMetrics::px(8);
    const QColor text = OVColors().text();
    int y = 0;
    for (const Row& row : rows()) {
        p.fillRect(QRect(0, y, width(), h), row.background);
        const int count = std::max<int>(1, int(row.cells.size()));
        const double cellWidth = double(width()) / count;
        p.setFont(KitMetrics::font(12, row.bold ? QFont::Bold : QFont::Normal));
        p.setPen(text);
        for (int c = 0; c < row.cells.size(); ++c) {
            const QRect cell(int(c * cellWidth) + padX, y, int(cellWidth) - 2 * padX, h);
            const Qt::Alignment align = (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
            p.drawText(cell, int(align), cellText(row.cells.at(c), row.bold, cell.width()));
        }
        y += h;
    }
}
