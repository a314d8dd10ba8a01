#include "kit/OVLabel.h"

#include "kit/KitMetrics.h"

#include <QPainter>
#include <QStyle>

OVLabel::OVLabel(const QString& text, double points, int weight, const QColor& color, QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setText(text);
    setFont(KitMetrics::font(points, weight));
    setColor(color);
}

void OVLabel::setColor(const QColor& color)
{
    if (!color.isValid())
        return;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    pal.setColor(QPalette::Text, color);
    setPalette(pal);
}

void OVLabel::setWrapping(bool on) { setWordWrap(on); }

void OVLabel::setEliding(bool on)
{
    m_eliding = on;
    if (on)
        setMinimumWidth(1);
    update();
}

QString OVLabel::shownText() const
{
    if (!m_eliding || wordWrap())
        return text();
    return fontMetrics().elidedText(text(), Qt::ElideRight, contentsRect().width());
}

QString OVLabel::plainToolTip(const QString& text)
{
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

void OVLabel::paintEvent(QPaintEvent* event)
{
    if (!m_eliding || wordWrap()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter p(this);
    style()->drawItemText(&p, contentsRect(), int(alignment()), palette(), isEnabled(), shownText(),
                          foregroundRole());
}
