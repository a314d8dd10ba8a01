#pragma once
// Shows the busy cursor for as long as it lives, around work that holds the main
// thread (a backup, restore or export of a large store), so the window never looks
// frozen without saying so.

#include <QApplication>

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};
