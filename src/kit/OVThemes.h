#pragma once
// The product's two wood-toned themes, added to the kit's catalogue at start-up.
// Redwood Grove is the product's default look. `extras` is built once and every read
// returns the same two themes in the same order.

#include "kit/QNMRTheme.h"

#include <QList>
#include <QString>

namespace OVThemes {

inline const QString groveID = QStringLiteral("redwood-grove");
inline const QString cedarID = QStringLiteral("cedar-sunrise");

// Redwood Grove, then Cedar Sunrise; both of family extra.
const QList<QNMRTheme>& extras();

} // namespace OVThemes
