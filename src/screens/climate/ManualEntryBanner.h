#pragma once
// The note at the top of the Climate screen that the program reads no sensors and
// drives no equipment: a raised-hand symbol and the text on a dark rounded panel.

#include <QWidget>

class ManualEntryBanner : public QWidget {
    Q_OBJECT
public:
    explicit ManualEntryBanner(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
