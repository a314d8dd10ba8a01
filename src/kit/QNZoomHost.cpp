#include "kit/QNZoomHost.h"

#include "kit/KitEvents.h"
#include "kit/KitMetrics.h"
#include "kit/QNZoom.h"

#include <QTimer>

QNZoomHost::QNZoomHost(Factory content, QSize minimum, QWidget* parent)
    : QScrollArea(parent), m_factory(std::move(content)), m_minimum(minimum)
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    rebuild();
    connect(&KitEvents::shared(), &KitEvents::zoomChanged, this,
            [this] { QTimer::singleShot(0, this, &QNZoomHost::rebuild); });
}

void QNZoomHost::rebuild()
{
    KitMetrics::setZoom(QNZoom::value());
    QWidget* content = m_factory ? m_factory() : new QWidget;
    content->setMinimumSize(KitMetrics::px(m_minimum.width()), KitMetrics::px(m_minimum.height()));
    if (QWidget* old = takeWidget())
        old->deleteLater();
    setWidget(content);
}
