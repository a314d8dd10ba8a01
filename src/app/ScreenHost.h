#pragma once
// Shows the current screen right of the side rail. The screen's widget is kept while
// the same screen stays current (its search texts and filters survive every store
// change and redraw); a change of screen throws it away (deferred) and builds the new
// screen, so coming back starts it afresh, at its top. Adds no frame or padding of its
// own.

#include "services/Screen.h"

#include <QPointer>
#include <QWidget>

class AppModel;

class ScreenHost : public QWidget {
    Q_OBJECT
public:
    explicit ScreenHost(AppModel& model, QWidget* parent = nullptr);

    Screen screen() const { return m_screen; }
    QWidget* current() const { return m_current; }

private:
    void show(Screen screen);

    AppModel& m_model;
    Screen m_screen;
    QPointer<QWidget> m_current;
};
