#pragma once
// The drawn wood-grain surface in the current theme's bg and panelTop colours. A
// seeded generator makes the same picture for the same size and theme every time;
// the picture is painted once per size and theme into a cached pixmap.

#include <QImage>
#include <QWidget>

struct QNMRTheme;

class WoodBackground : public QWidget {
    Q_OBJECT
public:
    explicit WoodBackground(QWidget* parent = nullptr);

    // The pattern for a canvas of this size in pixels and this theme.
    static QImage render(const QSize& size, const QNMRTheme& theme);

protected:
    void paintEvent(QPaintEvent* event) override;
};
