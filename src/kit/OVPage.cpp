#include "kit/OVPage.h"

#include "kit/KitMetrics.h"
#include "kit/OVHeader.h"
#include "kit/OVScroll.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QScrollBar>
#include <QVBoxLayout>

OVPage* OVPage::fill(QWidget* host, Screen screen, const QString& subtitle)
{
    auto* page = new OVPage(screen, subtitle);
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(page);
    return page;
}

OVPage::OVPage(Screen screen, const QString& subtitle, QWidget* parent) : QWidget(parent)
{
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    col->setSpacing(0);
    m_header = new OVHeader(screen.title(), subtitle, screen.symbol());
    // The header keeps room for its shadows inside its own rectangle.
    const int room = OVHeader::shadowRoom();
    auto* headerBox = new QVBoxLayout;
    headerBox->setContentsMargins(KitMetrics::px(24) - room, KitMetrics::px(20) - room, KitMetrics::px(24) - room,
                                  KitMetrics::px(14) - room);
    headerBox->addWidget(m_header);
    col->addLayout(headerBox);
    auto* body = new QWidget;
    body->setObjectName(QStringLiteral("pageBody"));
    m_content = OVScroll::topColumn(body);
    m_content->setContentsMargins(KitMetrics::px(24), 0, KitMetrics::px(24), KitMetrics::px(24));
    m_content->setSpacing(KitMetrics::px(16));
    m_scroll = new OVScroll(body);
    col->addWidget(m_scroll, 1);
    m_scroll->verticalScrollBar()->installEventFilter(this);
}

bool OVPage::eventFilter(QObject* watched, QEvent* event)
{
    // The scroll bar takes its width from the right margin, so the content's edges stay
    // where every other page has them whether the bar shows or not.
    if (watched == m_scroll->verticalScrollBar()
        && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        const QScrollBar* bar = m_scroll->verticalScrollBar();
        const int room = event->type() == QEvent::Show ? bar->sizeHint().width() : 0;
        m_content->setContentsMargins(KitMetrics::px(24), 0, std::max(0, KitMetrics::px(24) - room),
                                      KitMetrics::px(24));
    }
    return QWidget::eventFilter(watched, event);
}

void OVPage::setSubtitle(const QString& subtitle) { m_header->setSubtitle(subtitle); }
void OVPage::addTrailing(QWidget* control) { m_header->trailing()->addWidget(control); }
