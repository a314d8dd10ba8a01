#pragma once
// Shows content at the interface zoom: the content is laid out at
// max(viewport / zoom, minimum) per axis and drawn at the zoom, inside a scroll area
// that scrolls both ways. The kit scales its sizes and fonts (KitMetrics) instead of
// scaling pixels, so a zoom change rebuilds the content (deferred) and returns to the
// top-left. Snapshot and test renders have no zoom host and draw at 1.0.

#include <QScrollArea>
#include <QSize>
#include <functional>

class QNZoomHost : public QScrollArea {
    Q_OBJECT
public:
    using Factory = std::function<QWidget*()>;

    // minimum: the smallest layout size in points (1180 x 760 for the main window).
    QNZoomHost(Factory content, QSize minimum, QWidget* parent = nullptr);

    QWidget* content() const { return widget(); }
    void rebuild();

private:
    Factory m_factory;
    QSize m_minimum;
};
