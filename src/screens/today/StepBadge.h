#pragma once
// The welcome card's step number: a white, heavy number centred in a 20-point
// circle filled with the theme's accent. Painted; scales with the zoom.

#include <QColor>
#include <QWidget>

class StepBadge : public QWidget {
    Q_OBJECT
public:
    StepBadge(int number, const QColor& fill, QWidget* parent = nullptr);

    int number() const { return m_number; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_number;
    QColor m_fill;
};
