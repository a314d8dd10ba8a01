#pragma once
// One screen's button in the side rail: the screen's symbol in a 20-point column and
// its title, the whole rounded row clickable. The selected button is filled with the
// accent gradient and outlined; the others draw only symbol and title. Reads its
// colours afresh on every paint.

#include "services/Screen.h"

#include <QAbstractButton>

class RailButton : public QAbstractButton {
    Q_OBJECT
public:
    RailButton(Screen screen, bool selected, QWidget* parent = nullptr);

    Screen screen() const { return m_screen; }
    bool selected() const { return m_selected; }
    void setSelected(bool selected);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont titleFont() const;

    Screen m_screen;
    bool m_selected;
};
