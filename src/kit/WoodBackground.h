#pragma once
// The drawn wood-grain surface in the current theme's bg and panelTop colours. A
// seeded generator makes the same picture for the same size and theme every time
// (grain lines, three knots, a warm and a green glow and a shade at the bottom); the
// picture is painted once per size and theme into a cached pixmap, so a repaint costs
// one blit. The widget reads the current theme at every paint.

#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <cstdint>

struct QNMRTheme;

class WoodBackground : public QWidget {
    Q_OBJECT
public:
    // The pattern's generator: a 64-bit linear congruential state, seeded at every
    // drawing; each draw gives 0 … 0.9999 in steps of 0.0001.
    struct Random {
        std::uint64_t state = 0x5EED6E05u;
        double next();
    };

    // One grain line's parameters, seven draws in this order: x0, amplitude,
    // frequency, phase, the colour's choice (panelTop from 0.5 up, else black), its
    // opacity, the line width.
    struct Grain {
        double x0;
        double amp;
        double freq;
        double phase;
        bool panelColor;
        double opacity;
        double width;
    };
    static Grain grain(int index, Random& rnd);

    explicit WoodBackground(QWidget* parent = nullptr);

    // The pattern for a canvas of this size in pixels and this theme.
    static QImage render(const QSize& size, const QNMRTheme& theme);
    // The same at a device pixel ratio (the pattern is laid out in logical pixels).
    static QImage render(const QSize& size, const QNMRTheme& theme, double devicePixelRatio);
    // The current theme's pattern for this size, from a small cache.
    static QPixmap cached(const QSize& size, double devicePixelRatio = 1.0);
    // Paints the current theme's pattern over rect of the widget p paints on.
    static void paint(QPainter& p, const QRect& rect, double devicePixelRatio);

    // Progressive: when the pattern for the size is not cached yet, a paint shows the
    // theme's ground colour (or the last picture, stretched) and the pattern is drawn
    // on a worker thread, then shown. So a window's first paint never waits for the
    // wood. Off by default: snapshots, grabs and tests draw the pattern at once.
    void setProgressive(bool on) { m_progressive = on; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // While a window on screen is being resized, the last picture is shown stretched
    // and the new size is drawn once the resizing pauses.
    QPixmap m_last;
    qint64 m_lastResizeMs = 0;
    bool m_settleQueued = false;
    bool m_progressive = false;
    bool m_rendering = false;
};
