#include "kit/QNZoomHost.h"

#include "kit/KitEvents.h"
#include "kit/KitMetrics.h"
#include "kit/QNZoom.h"

#include <QScrollBar>
#include <QTimer>
#include <cmath>

QNZoomHost::QNZoomHost(Factory content, QSize minimum, QWidget* parent)
    : QScrollArea(parent), m_factory(std::move(content)), m_minimum(minimum)
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
    m_zoom = QNZoom::value();
    rebuild();
    connect(&KitEvents::shared(), &KitEvents::zoomChanged, this, &QNZoomHost::followZoom);
}

void QNZoomHost::followZoom()
{
    const double z = QNZoom::value();
    if (z == m_zoom)
        return; // a step past either end stores the same factor: nothing changes
    m_zoom = z;
    // Set at once, so every rebuild queued for this change (kit windows too) sees it.
    KitMetrics::setZoom(z);
    if (m_rebuildQueued)
        return;
    m_rebuildQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_rebuildQueued = false;
        rebuild();
    });
}

void QNZoomHost::rebuild()
{
    KitMetrics::setZoom(m_zoom);
    QWidget* content = m_factory ? m_factory() : new QWidget;
    content->setMinimumSize(int(std::ceil(m_minimum.width() * m_zoom)),
                            int(std::ceil(m_minimum.height() * m_zoom)));
    if (QWidget* old = takeWidget()) {
        old->hide();
        old->deleteLater();
    }
    setWidget(content);
    // setWidget() turns background filling on; the theme root's background shows through.
    content->setAutoFillBackground(false);
    updateScrollBars();
    scrollHome();
    emit rebuilt();
}

QSizeF QNZoomHost::layoutSize() const
{
    const QSize view = maximumViewportSize();
    return QSizeF(std::max(view.width() / m_zoom, double(m_minimum.width())),
                  std::max(view.height() / m_zoom, double(m_minimum.height())));
}

void QNZoomHost::updateScrollBars()
{
    const QSize view = maximumViewportSize();
    QSize needed(int(std::ceil(m_minimum.width() * m_zoom)), int(std::ceil(m_minimum.height() * m_zoom)));
    // Content that cannot shrink to the minimum must still be reachable.
    if (const QWidget* w = widget())
        needed = needed.expandedTo(w->minimumSizeHint());
    m_scrolls = needed.width() > view.width() + 1 || needed.height() > view.height() + 1;
    const Qt::ScrollBarPolicy policy = m_scrolls ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
}

void QNZoomHost::homeNow()
{
    horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
    verticalScrollBar()->setValue(verticalScrollBar()->minimum());
}

void QNZoomHost::scrollHome()
{
    homeNow();
    // Late layout passes may still move the content: home again while they settle.
    for (const int ms : {0, 150, 400, 900, 1600})
        QTimer::singleShot(ms, this, &QNZoomHost::homeNow);
}

void QNZoomHost::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    updateScrollBars();
    scrollHome();
}
