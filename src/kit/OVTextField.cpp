#include "kit/OVTextField.h"

#include "kit/KitMetrics.h"
#include "kit/KitPaint.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

OVTextField::OVTextField(const QString& placeholder, const QString& text, QWidget* parent) : QLineEdit(parent)
{
    setFrame(false);
    setPlaceholderText(placeholder);
    setText(text);
    setFont(KitMetrics::font(13));
    setTextMargins(KitMetrics::px(10), KitMetrics::px(7), KitMetrics::px(10), KitMetrics::px(7));
    clearBase();
}

void OVTextField::clearBase()
{
    // The field's own fill is painted below; the style must not paint a base over it.
    QPalette pal = palette();
    if (pal.color(QPalette::Base) == QColor(Qt::transparent))
        return;
    pal.setColor(QPalette::Base, Qt::transparent);
    setPalette(pal);
}

void OVTextField::changeEvent(QEvent* event)
{
    QLineEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        clearBase();
}

QSize OVTextField::sizeHint() const
{
    const QFontMetricsF fm(font());
    const QMargins m = textMargins();
    return QSize(KitMetrics::px(160), int(std::ceil(fm.height())) + m.top() + m.bottom());
}

void OVTextField::paintEvent(QPaintEvent* event)
{
    {
        QPainter p(this);
        KitPaint::field(p, rect(), KitMetrics::pxF(10), KitMetrics::pxF(1));
    }
    QLineEdit::paintEvent(event);
}
