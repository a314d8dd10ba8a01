// The report PDF: US Letter drawn with QPdfWriter at 72 dpi, so one painter unit is
// one PDF point and the page is laid out top-down from the upper-left corner.

#include "records/OVInfo.h"
#include "services/Reports.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

constexpr qreal left = 40;
constexpr qreal width = 532;
constexpr qreal rowPitch = 15;
constexpr qreal lastRowLine = 722;
constexpr qreal lastNoteBottom = 742;

QFont systemFont(qreal points, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

struct TextStyle {
    QFont font;
    QColor colour;
};

void drawBoxed(QPainter& painter, const QRectF& box, const QString& text, const TextStyle& style)
{
    painter.setFont(style.font);
    painter.setPen(style.colour);
    // Left-aligned, wrapped at the box width; drawText clips to the box, so lines
    // beyond its height are not drawn and long cells never overlap their neighbours.
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
}

} // namespace

namespace Reports {

QString footerText(int page)
{
    return OVInfo::appName + QStringLiteral(" \u00B7 ") + OVInfo::creditLine +
           QStringLiteral(" \u00B7 Page ") + QString::number(page);
}

QByteArray pdf(const QString& title, const QString& subtitle, const ReportTableText& table,
               const QStringList& notes)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};

    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setCreator(QString());
    writer.setTitle(QString());
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                     QMarginsF(0, 0, 0, 0), QPageLayout::Point));

    QPainter painter;
    if (!painter.begin(&writer))
        return {};

    const qreal columnWidth = width / qMax<qsizetype>(1, table.header.size());
    const QColor darkGray = QColor::fromRgbF(1.0f / 3, 1.0f / 3, 1.0f / 3);
    const TextStyle titleStyle{systemFont(18, true), QColor::fromRgbF(0.35f, 0.14f, 0.08f)};
    const TextStyle smallStyle{systemFont(10, false), darkGray};
    const TextStyle headerStyle{systemFont(9, true), Qt::white};
    const TextStyle cellStyle{systemFont(9, false), Qt::black};
    const TextStyle totalStyle{systemFont(9, true), Qt::black};
    const QColor headerFill = QColor::fromRgbF(0.3f, 0.45f, 0.22f);
    const QColor totalFill = QColor::fromRgbF(0.93f, 0.88f, 0.8f);
    const QColor oddFill = QColor::fromRgbF(0.95f, 0.95f, 0.95f);

    int page = 1;
    auto drawFooter = [&] {
        drawBoxed(painter, QRectF(left, 762, width, 14), footerText(page), smallStyle);
    };
    auto newPage = [&] {
        drawFooter();
        writer.newPage();
        ++page;
    };
    auto drawHeaderBar = [&](qreal barY) {
        painter.fillRect(QRectF(left, barY, width, 18), headerFill);
        for (qsizetype i = 0; i < table.header.size(); ++i)
            drawBoxed(painter, QRectF(left + 3 + i * columnWidth, barY + 4, columnWidth - 6, 14),
                      table.header.at(i), headerStyle);
    };

    drawBoxed(painter, QRectF(left, 40, width, 24), title, titleStyle);
    drawBoxed(painter, QRectF(left, 66, width, 28), subtitle, smallStyle);
    drawHeaderBar(96);

    QList<QStringList> lines = table.rows;
    lines.append(table.total);
    const qsizetype totalIndex = table.rows.size();
    qreal y = 116;
    for (qsizetype r = 0; r < lines.size(); ++r) {
        if (y > lastRowLine) {
            newPage();
            drawHeaderBar(40);
            y = 60;
        }
        const bool isTotal = r == totalIndex;
        if (isTotal)
            painter.fillRect(QRectF(left, y - 1, width, rowPitch), totalFill);
        else if (r % 2 == 1)
            painter.fillRect(QRectF(left, y - 1, width, rowPitch), oddFill);
        const QStringList& cells = lines.at(r);
        for (qsizetype j = 0; j < cells.size(); ++j)
            drawBoxed(painter, QRectF(left + 3 + j * columnWidth, y + 1, columnWidth - 6, 13),
                      cells.at(j), isTotal ? totalStyle : cellStyle);
        y += rowPitch;
    }
    y += 10;

    painter.setFont(smallStyle.font);
    for (const QString& note : notes) {
        const qreal height = painter
                                 .boundingRect(QRectF(0, 0, width, 400),
                                               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, note)
                                 .height();
        if (y + height > lastNoteBottom) {
            newPage();
            y = 40;
        }
        drawBoxed(painter, QRectF(left, y, width, height + 2), note, smallStyle);
        painter.setFont(smallStyle.font);
        y += height + 6;
    }
    drawFooter();
    painter.end();
    buffer.close();
    return bytes;
}

} // namespace Reports
