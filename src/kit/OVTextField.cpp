#include "kit/OVTextField.h"

#include "kit/KitMetrics.h"

OVTextField::OVTextField(const QString& placeholder, const QString& text, QWidget* parent) : QLineEdit(parent)
{
    setPlaceholderText(placeholder);
    setText(text);
    setFont(KitMetrics::font(13));
}

void OVTextField::paintEvent(QPaintEvent* event) { QLineEdit::paintEvent(event); }
