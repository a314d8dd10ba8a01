#pragma once
// Shows content at the interface zoom z: the content is laid out at
// max(viewport / z, minimum) per axis and drawn at z, inside a scroll area that
// scrolls both ways. Qt Widgets cannot scale a widget tree when drawing, so the kit
// scales its sizes and fonts instead (KitMetrics::setZoom): in pixels the content gets
// max(viewport, minimum × z), never the height its layout would like (a long page
// scrolls inside itself), and a zoom change rebuilds the content (deferred, since
// the zoom command may come from inside it); what the grower had set in the content
// (OVViewState: texts, choices, scroll positions in points, focus) is set again on the
// new content. A resize never moves the view by itself: a burst of resizes gives one
// deferred update of the scroll bars, and the scroll position stays where it was (as
// far as the new size allows). Scroll bars show only when minimum × z overshoots the
// viewport by more than one pixel in either direction.
//
// One zoom host per process sets the kit's zoom (the main window's). Snapshot and test
// renders have no zoom host and draw at 1.0.

#include <QScrollArea>
#include <QSize>
#include <functional>

class OVRebuilder;

class QNZoomHost : public QScrollArea {
    Q_OBJECT
public:
    using Factory = std::function<QWidget*()>;

    // minimum: the smallest layout size in points (1180 x 760 for the main window).
    QNZoomHost(Factory content, QSize minimum, QWidget* parent = nullptr);

    QWidget* content() const { return widget(); }
    void rebuild();

    // The factor the content is drawn at.
    double zoom() const { return m_zoom; }
    // The content's layout size in points: max(viewport / zoom, minimum) per axis.
    QSizeF layoutSize() const;
    // Whether the scaled content overshoots the viewport (scroll bars shown).
    bool scrolls() const { return m_scrolls; }
    int rebuildCount() const;

signals:
    void rebuilt();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void followZoom();
    void updateScrollBars();
    // Sizes the content to the viewport, or to the minimum where that is larger.
    void fitContent();
    QSize neededSize() const;

    Factory m_factory;
    QSize m_minimum;
    double m_zoom = 1.0;
    bool m_scrolls = false;
    double m_builtZoom = 1.0;
    OVRebuilder* m_rebuilder = nullptr;
    bool m_relayoutQueued = false;
};
