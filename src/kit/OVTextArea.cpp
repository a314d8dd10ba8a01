#include "kit/OVTextArea.h"

#include "kit/KitMetrics.h"
#include "kit/KitPaint.h"

#include <QEvent>
#include <QPainter>

OVTextArea::OVTextArea(const QString& text, double height, QWidget* parent) : QPlainTextEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setPlainText(text);
    setFont(KitMetrics::font(13));
    setFixedHeight(KitMetrics::px(height));
    const int pad = KitMetrics::px(6);
    setViewportMargins(pad, pad, pad, pad);
    document()->setDocumentMargin(0);
    setTabChangesFocus(true);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    clearBase();
}

void OVTextArea::clearBase()
{
    QPalette pal = palette();
    if (pal.color(QPalette::Base) == QColor(Qt::transparent))
        return;
    pal.setColor(QPalette::Base, Qt::transparent);
    setPalette(pal);
}

void OVTextArea::changeEvent(QEvent* event)
{
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        clearBase();
}

bool OVTextArea::event(QEvent* event)
{
    // Paint events of the box itself (the viewport's draw the text as usual): the field.
    if (event->type() == QEvent::Paint) {
        QPainter p(this);
        KitPaint::field(p, rect(), KitMetrics::pxF(10), KitMetrics::pxF(1));
        return true;
    }
    return QPlainTextEdit::event(event);
}

