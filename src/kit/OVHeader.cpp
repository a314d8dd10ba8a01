#include "kit/OVHeader.h"

#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

OVHeader::OVHeader(const QString& title, const QString& subtitle, const QString& /*symbol*/, QWidget* parent)
    : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(KitMetrics::px(14));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(KitMetrics::px(3));
    texts->addWidget(new OVLabel(title, 26, QFont::ExtraBold));
    m_subtitle = new OVLabel(subtitle, 13, QFont::Normal, OVColors().dim());
    m_subtitle->setWrapping(true);
    texts->addWidget(m_subtitle);
    row->addLayout(texts, 1);
    m_trailing = new QHBoxLayout;
    m_trailing->setSpacing(KitMetrics::px(8));
    row->addLayout(m_trailing);
}

void OVHeader::setSubtitle(const QString& subtitle) { m_subtitle->setText(subtitle); }
QString OVHeader::subtitle() const { return m_subtitle->text(); }
