#pragma once
// Brings a box layout's widgets into a wanted order while moving as little as it can,
// for lists that keep their row widgets between rebuilds: nothing when the order is
// the same, the changed widgets swapped in place when only some rows were made anew,
// and the whole layout refilled only when rows were added, removed or moved. Showing
// and hiding is the caller's: a hidden widget in the layout takes no room, so rows a
// filter hides can stay in it. Widgets left out of `wanted` are taken out of the
// layout (when it is refilled) or replaced; the caller deletes them.

#include <QList>

class QBoxLayout;
class QLayout;
class QWidget;

namespace LayoutSync {

// `current` is what the layout held after the previous call (empty at first); it
// becomes `wanted`.
void apply(QBoxLayout* layout, QList<QWidget*>& current, const QList<QWidget*>& wanted);

// Lays out now, rather than on a later event-loop turn, `widget` and the widgets it sits
// in, so that rows shown or made this turn have their places before anything paints: a
// new row would otherwise paint once at its parent's corner, and the rows of a list
// whose parent has not grown yet would paint squeezed.
void settle(QWidget* widget);

// Holds a layout still while many of its widgets are shown or hidden. Showing a widget
// lays out its visible parents at once, so showing n rows one by one costs n passes over
// the whole list; held, the list is laid out once, when the hold ends.
class Hold {
public:
    explicit Hold(QLayout* layout);
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    QLayout* m_layout;
    bool m_wasEnabled;
};

} // namespace LayoutSync
