#pragma once
// The kit's gradient panel: a rounded rectangle filled from the theme's panelTop to
// panelBottom, rimmed light at the top and dark at the bottom, with its content inset
// by the padding. Colours are read from the kit theme each time it paints, so a panel
// follows a theme change without being rebuilt. body() is its layout.

#include <QWidget>

class QVBoxLayout;

class QNPanel : public QWidget {
    Q_OBJECT
public:
    // radius and padding in points.
    explicit QNPanel(double radius = 20, double padding = 12, QWidget* parent = nullptr);

    QVBoxLayout* body() const { return m_body; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_radius;
    QVBoxLayout* m_body = nullptr;
};
