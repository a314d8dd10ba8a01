#pragma once
// The product badge at the top of the side rail: a 36-point rounded square in the
// accent gradient with the white leaf in front.

#include <QWidget>

class RailBadge : public QWidget {
    Q_OBJECT
public:
    explicit RailBadge(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
