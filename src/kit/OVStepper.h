#pragma once
// A stepper with its value shown as a label (13-point semibold by default, or the
// text a formatter gives), then a minus and a plus button; the Up and Down keys
// step too. Its range never clamps a stored value: setValue widens the range to hold
// it, so a value stored outside the usual range survives loading and saving
// untouched. `changed` fires on the user's steps only.

#include <QWidget>
#include <functional>

class OVLabel;
class QToolButton;

class OVStepper : public QWidget {
    Q_OBJECT
public:
    OVStepper(int minimum, int maximum, int step = 1, QWidget* parent = nullptr);

    int value() const { return m_value; }
    void setValue(int value);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    void setFormatter(std::function<QString(int)> formatter);

signals:
    void changed();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void stepBy(int steps);
    void refresh();

    int m_min;
    int m_max;
    int m_step;
    int m_value;
    std::function<QString(int)> m_format;
    OVLabel* m_label = nullptr;
    QToolButton* m_down = nullptr;
    QToolButton* m_up = nullptr;
};
