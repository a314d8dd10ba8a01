#pragma once
// The thin separator line of the main window (vertical, between the side rail and the
// screen) and of the side rail (horizontal, above Settings & Backup): one pixel of
// the dark appearance's separator colour at the given opacity.

#include <QWidget>

class DividerLine : public QWidget {
    Q_OBJECT
public:
    DividerLine(Qt::Orientation orientation, double opacity, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation m_orientation;
    double m_opacity;
};
