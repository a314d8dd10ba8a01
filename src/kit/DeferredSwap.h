#pragma once
// How a screen puts a freshly built list or card in place of the one it shows. The
// old widget is hidden at once and deleted on the next event-loop turn, never now: a
// rebuild may follow a click on one of its rows or buttons, whose handler is still
// running inside it.

class QBoxLayout;
class QWidget;

namespace DeferredSwap {

// Puts `next` where `current` stands in `layout`; without a current widget, inserts
// `next` at `index` (-1: at the end). `current` then names `next`.
void replace(QBoxLayout* layout, QWidget*& current, QWidget* next, int index = -1);

} // namespace DeferredSwap
