#include "kit/QNZoomHost.h"

#include "kit/KitEvents.h"
#include "kit/KitMetrics.h"
#include "kit/OVRebuilder.h"
#include "kit/OVViewState.h"
#include "kit/QNZoom.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScrollBar>
#include <QTimer>
#include <cmath>

QNZoomHost::QNZoomHost(Factory content, QSize minimum, QWidget* parent)
    : QScrollArea(parent), m_factory(std::move(content)), m_minimum(minimum)
{
    // The host sizes its content itself (fitContent): a resizable scroll area would
    // give the content the height its layout prefers, which for a page is the full
    // height of its rows, and the page would never scroll inside itself.
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
    viewport()->setAutoFillBackground(false);
    m_zoom = QNZoom::value();
    m_rebuilder = new OVRebuilder(this, [this] { rebuild(); });
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
    m_rebuilder->schedule();
}

int QNZoomHost::rebuildCount() const { return m_rebuilder->rebuildCount(); }

void QNZoomHost::rebuild()
{
    const OVViewState kept = OVViewState::capture(widget(), m_builtZoom);
    const QPointF at = QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value()) / m_builtZoom;
    KitMetrics::setZoom(m_zoom);
    m_builtZoom = m_zoom;
    QWidget* content = m_factory ? m_factory() : new QWidget;
    content->setMinimumSize(int(std::ceil(m_minimum.width() * m_zoom)),
                            int(std::ceil(m_minimum.height() * m_zoom)));
    // Sized before it is set, so it is never first laid out at the size its layout
    // would like (a long page's full height).
    content->resize(viewport()->size().expandedTo(content->minimumSize()));
    if (QWidget* old = takeWidget()) {
        old->hide();
        old->deleteLater();
    }
    setWidget(content);
    // setWidget() turns background filling on; the theme root's background shows through.
    content->setAutoFillBackground(false);
    content->show();
    updateScrollBars();
    kept.apply(content, m_zoom);
    if (!at.isNull())
        QTimer::singleShot(0, this, [this, at] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
            horizontalScrollBar()->setValue(qRound(at.x() * m_zoom));
            verticalScrollBar()->setValue(qRound(at.y() * m_zoom));
        });
    emit rebuilt();
}

QSizeF QNZoomHost::layoutSize() const
{
    const QSize view = maximumViewportSize();
    return QSizeF(std::max(view.width() / m_zoom, double(m_minimum.width())),
                  std::max(view.height() / m_zoom, double(m_minimum.height())));
}

QSize QNZoomHost::neededSize() const
{
    QSize needed(int(std::ceil(m_minimum.width() * m_zoom)), int(std::ceil(m_minimum.height() * m_zoom)));
    // Content that cannot shrink to the minimum must still be reachable.
    if (const QWidget* w = widget())
        needed = needed.expandedTo(w->minimumSizeHint());
    return needed;
}

void QNZoomHost::updateScrollBars()
{
    const QSize view = maximumViewportSize();
    const QSize needed = neededSize();
    m_scrolls = needed.width() > view.width() + 1 || needed.height() > view.height() + 1;
    const Qt::ScrollBarPolicy policy = m_scrolls ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    setHorizontalScrollBarPolicy(policy);
    setVerticalScrollBarPolicy(policy);
    fitContent();
}

void QNZoomHost::fitContent()
{
    QWidget* w = widget();
    if (!w)
        return;
    // Per axis the viewport's size, or the minimum where that is more than one pixel
    // larger; never what the content's layout would like, so a long page stays as
    // tall as the window and scrolls inside itself.
    const QSize view = viewport()->size();
    const QSize needed = neededSize();
    const QSize size(needed.width() > view.width() + 1 ? needed.width() : view.width(),
                     needed.height() > view.height() + 1 ? needed.height() : view.height());
    if (w->size() != size)
        w->resize(size);
}

bool QNZoomHost::viewportEvent(QEvent* event)
{
    // Scroll bars coming or going resize the viewport without resizing the host.
    if (event->type() == QEvent::Resize)
        fitContent();
    return QScrollArea::viewportEvent(event);
}

void QNZoomHost::resizeEvent(QResizeEvent* event)
{
    // The scroll bars keep their values; the policies follow the new size once the
    // burst of resizes is over.
    QScrollArea::resizeEvent(event);
    if (m_relayoutQueued)
        return;
    m_relayoutQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_relayoutQueued = false;
        updateScrollBars();
    });
}
