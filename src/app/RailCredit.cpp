#include "app/RailCredit.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "records/OVInfo.h"
#include "services/Opener.h"

#include <QFontMetrics>
#include <QPainter>

RailCredit::RailCredit(QWidget* parent) : QAbstractButton(parent), m_text(OVInfo::creditLine)
{
    setFont(KitMetrics::font(10.5, QFont::DemiBold));
    setToolTip(OVInfo::websiteDomain);
    setAccessibleName(m_text);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [] { Opener::open(OVInfo::website); });
}

QSize RailCredit::sizeHint() const
{
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(m_text) + 1, fm.height());
}

void RailCredit::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setFont(font());
    p.setPen(OVColors().dim());
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
}
