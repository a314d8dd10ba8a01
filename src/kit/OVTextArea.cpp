#include "kit/OVTextArea.h"

#include "kit/KitMetrics.h"

OVTextArea::OVTextArea(const QString& text, double height, QWidget* parent) : QPlainTextEdit(parent)
{
    setPlainText(text);
    setFont(KitMetrics::font(13));
    setFixedHeight(KitMetrics::px(height));
    setTabChangesFocus(true);
}

void OVTextArea::paintEvent(QPaintEvent* event) { QPlainTextEdit::paintEvent(event); }
