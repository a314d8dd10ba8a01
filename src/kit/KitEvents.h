#pragma once
// Announces the kit's settings changes within the process: the theme id under
// "qnmr.theme" (QNMRThemes::setCurrentID emits themeChanged when the stored id
// changes) and the zoom factor (the zoom host). The settings store has no change
// signal of its own. Main thread only.

#include <QObject>

class KitEvents : public QObject {
    Q_OBJECT
public:
    static KitEvents& shared();

signals:
    void themeChanged();
    void zoomChanged();

private:
    KitEvents() = default;
};
