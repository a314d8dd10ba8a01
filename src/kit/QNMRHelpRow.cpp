#include "kit/QNMRHelpRow.h"

#include "kit/KitMetrics.h"
#include "kit/QNUI.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

QNMRHelpRow::QNMRHelpRow(const QString& topicID, const QString& title, bool shown, QWidget* parent)
    : QAbstractButton(parent), m_id(topicID), m_title(title), m_shown(shown)
{
    setFont(KitMetrics::font(13, shown ? QFont::Bold : QFont::Medium));
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(title);
}

QSize QNMRHelpRow::sizeHint() const
{
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(m_title) + 2 * KitMetrics::px(10),
                 fm.height() + 2 * KitMetrics::px(7));
}

int QNMRHelpRow::heightForWidth(int width) const
{
    const int textWidth = std::max(1, width - 2 * KitMetrics::px(10));
    const QRect bounds = QFontMetrics(font()).boundingRect(QRect(0, 0, textWidth, 100000),
                                                           Qt::TextWordWrap, m_title);
    return bounds.height() + 2 * KitMetrics::px(7);
}

QSize QNMRHelpRow::minimumSizeHint() const
{
    return QSize(2 * KitMetrics::px(10), sizeHint().height());
}

void QNMRHelpRow::paintEvent(QPaintEvent*)
{
    const QNKitTheme t = QNUI::shared().theme();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (m_shown) {
        QColor fill = t.accent;
        fill.setAlphaF(0.8f);
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(rect()), KitMetrics::pxF(10), KitMetrics::pxF(10));
    }
    if (isDown())
        p.setOpacity(0.75);
    p.setFont(font());
    p.setPen(m_shown ? QColor(Qt::white) : t.text);
    const QRect textRect = rect().adjusted(KitMetrics::px(10), 0, -KitMetrics::px(10), 0);
    p.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, m_title);
}
