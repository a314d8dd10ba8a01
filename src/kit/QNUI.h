#pragma once
// The kit's shared interface-state object, made on first use and kept for the whole
// process. It holds nothing and never signals: views that need the kit colours read
// theme(), the host's theme source (by default the colours OVColors caches).

#include "kit/QNKitTheme.h"

#include <QObject>

class QNUI : public QObject {
public:
    static QNUI& shared();
    QNKitTheme theme() const;

private:
    QNUI() = default;
};
