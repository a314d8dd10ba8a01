#include "screens/records/RecordRow.h"

#include "kit/KitMetrics.h"
#include "kit/KitPaint.h"
#include "kit/OVColors.h"
#include "kit/OVRowBox.h"

#include <QFontMetricsF>
#include <QHash>
#include <QLocale>
#include <QPainter>
#include <cmath>

namespace {

const QFont& tagFont()
{
    // Rows are rebuilt on a zoom change, so the font follows the zoom of the latest row.
    static QFont font;
    static double zoom = -1;
    if (zoom != KitMetrics::zoom()) {
        font = KitMetrics::font(10.5, QFont::ExtraBold);
        zoom = KitMetrics::zoom();
    }
    return font;
}

} // namespace

RecordRow::RecordRow(bool highlight, QWidget* parent) : QAbstractButton(parent), m_highlight(highlight)
{
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFocusPolicy(Qt::TabFocus);
}

QSize RecordRow::sizeHint() const
{
    return QSize(KitMetrics::px(300), int(std::ceil(contentHeight())) + 2 * KitMetrics::px(10));
}

QSize RecordRow::minimumSizeHint() const
{
    return QSize(KitMetrics::px(120), sizeHint().height());
}

QSizeF RecordRow::tagSize(const QString& text)
{
    const QFontMetricsF fm(tagFont());
    return QSizeF(std::ceil(fm.horizontalAdvance(text) + 2 * KitMetrics::pxF(8)),
                  std::ceil(fm.height() + 2 * KitMetrics::pxF(3)));
}

double RecordRow::drawTag(QPainter& p, double x, double centreY, const QString& text, const QColor& color)
{
    const QSizeF size = tagSize(text);
    const QRectF r(x, centreY - size.height() / 2, size.width(), size.height());
    const double radius = r.height() / 2;
    KitPaint::fillRounded(p, r, radius,
                          KitPaint::vertical(r, {KitPaint::withAlpha(color, 0.95), KitPaint::withAlpha(color, 0.6)}));
    KitPaint::rimRounded(p, r, radius, KitMetrics::pxF(0.7), QColor::fromRgbF(1, 1, 1, 0.3f));
    p.setFont(tagFont());
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, text);
    return size.width();
}

double RecordRow::drawLine(QPainter& p, const QFont& font, const QColor& color, double x, double centreY,
                           double width, const QString& text, Qt::Alignment align)
{
    if (text.isEmpty() || width <= 0)
        return 0;
    const QFontMetricsF fm(font);
    const QString shown = fm.elidedText(text, Qt::ElideRight, width);
    const double used = std::min(width, fm.horizontalAdvance(shown));
    const double h = fm.height();
    p.setFont(font);
    p.setPen(color);
    p.drawText(QRectF(x, centreY - h / 2, width, h), int(align | Qt::AlignVCenter | Qt::TextSingleLine), shown);
    return used;
}

QString RecordRow::dayText(const OVDay& day)
{
    static QHash<OVDay, QString> texts;
    static QString localeName;
    const QString current = QLocale().name();
    if (current != localeName || texts.size() > 50000) {
        texts.clear();
        localeName = current;
    }
    auto found = texts.constFind(day);
    if (found == texts.constEnd())
        found = texts.insert(day, day.display());
    return *found;
}

double RecordRow::lineHeight(const QFont& font)
{
    return QFontMetricsF(font).height();
}

double RecordRow::textWidth(const QFont& font, const QString& text)
{
    return QFontMetricsF(font).horizontalAdvance(text);
}

void RecordRow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (isDown())
        p.setOpacity(0.75);
    const QRectF r = rect();
    const double radius = KitMetrics::pxF(14);
    OVRowBox::paintBox(p, r, m_highlight);
    if (hasFocus()) {
        QPen pen(KitPaint::withAlpha(OVColors().accent(), 0.8), KitMetrics::pxF(1.5));
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(1, 1, -1, -1), radius, radius);
    }
    paintContent(p, r.adjusted(KitMetrics::px(14), KitMetrics::px(10), -KitMetrics::px(14), -KitMetrics::px(10)));
}
