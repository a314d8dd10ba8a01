#pragma once
// The kit's theme catalogue: six built-in themes in a fixed order, followed by the
// extra themes an application registers at start-up. The chosen theme id lives in
// the settings under "qnmr.theme".
//
// Invariants: the built-in list always holds its six themes, so every lookup finds a
// theme; an id belongs to the first theme that claimed it (a registered theme never
// replaces a built-in one and is never added twice); nothing is ever removed; nothing
// is cached, so every read of current() follows the stored id at once.
// Main thread only, apart from the one-time building of the built-in list.

#include "kit/QNMRTheme.h"

#include <QList>
#include <QString>

namespace QNMRThemes {

inline const QString key = QStringLiteral("qnmr.theme");

const QList<QNMRTheme>& builtIn();

// Adds each theme whose id no known theme has yet, in order. (The kit's one caller is
// QNMRKit::install.)
void registerThemes(const QList<QNMRTheme>& themes);

// Counts registrations and default changes (what current() resolves through, besides
// the stored id).
quint64 revision();

// The built-in themes, then the registered ones in registration order.
QList<QNMRTheme> all();

// The id used when nothing is stored; "cobalt-gunmetal" until an application sets its own.
QString defaultID();
void setDefaultID(const QString& id);

// The stored id, or defaultID() when none is stored.
QString currentID();
// Stores any text, unchecked: an id no theme has resolves through the fallbacks.
void setCurrentID(const QString& id);

// The theme with this id; else the defaultID() theme; else the first built-in theme.
QNMRTheme named(const QString& id);
QNMRTheme current();

} // namespace QNMRThemes
