// The report PDF: US Letter drawn with QPdfWriter at 72 dpi, so one painter unit is
// one PDF point and the page is laid out top-down from the upper-left corner.
// The header bar is 18 points tall while every title fits on one line; a title that
// wraps makes the bar as tall as its lines, and the rows start that much lower, so no
// header line is cut off.

#include "records/OVInfo.h"
#include "services/Reports.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

namespace {

constexpr qreal left = 40;
constexpr qreal width = 532;
constexpr qreal rowPitch = 15;
constexpr qreal lastRowLine = 722;
constexpr qreal lastNoteBottom = 742;
constexpr qreal headerInset = 4; // from the bar's top to its titles
constexpr qreal headerTextHeight = 14;
constexpr qreal rowGap = 2; // from the bar's bottom to the first row line
constexpr int wrapped = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

QFont systemFont(qreal points, bool bold)
{
    // The interface's font, which the PDF embeds (a subset) with its text.
    QFont font;
    font.setFamilies({QStringLiteral("Inter"), QStringLiteral("DejaVu Sans")});
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
    painter.drawText(box, wrapped, text);
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
    // The titles' box is as tall as the tallest title wrapped at its column's width.
    qreal titlesHeight = headerTextHeight;
    painter.setFont(headerStyle.font);
    for (const QString& name : table.header)
        titlesHeight =
            std::max(titlesHeight, painter.boundingRect(QRectF(0, 0, columnWidth - 6, 400), wrapped, name).height());
    const qreal barHeight = headerInset + titlesHeight;
    // Draws the bar at barY and gives the first row line below it.
    auto drawHeaderBar = [&](qreal barY) {
        painter.fillRect(QRectF(left, barY, width, barHeight), headerFill);
        for (qsizetype i = 0; i < table.header.size(); ++i)
            drawBoxed(painter, QRectF(left + 3 + i * columnWidth, barY + headerInset, columnWidth - 6, titlesHeight),
                      table.header.at(i), headerStyle);
        return barY + barHeight + rowGap;
    };

    drawBoxed(painter, QRectF(left, 40, width, 24), title, titleStyle);
    drawBoxed(painter, QRectF(left, 66, width, 28), subtitle, smallStyle);
    qreal y = drawHeaderBar(96);

    QList<QStringList> lines = table.rows;
    lines.append(table.total);
    const qsizetype totalIndex = table.rows.size();
    for (qsizetype r = 0; r < lines.size(); ++r) {
        if (y > lastRowLine) {
            newPage();
            y = drawHeaderBar(40);
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
        const qreal height = painter.boundingRect(QRectF(0, 0, width, 400), wrapped, note).height();
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
