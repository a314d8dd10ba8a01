#pragma once
// The kit's process-wide settings: the application name its windows and menus show,
// the source of its colours and the maker's web address. One set per process; main
// thread only. Until QNMRKit::install runs, the name is the one the platform knows
// the program by (or "QNMR App").

#include "kit/QNKitTheme.h"

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace QNMRKitHost {

QString appName();
void setAppName(const QString& name);

// The name a process starts with: the display name when there is one, else the
// plain application name, else "QNMR App". Empty names count as missing.
QString initialAppName(const std::optional<QString>& displayName,
                       const std::optional<QString>& applicationName);

// Called by the kit's views each time they draw; the default is the current theme's
// kit colours as OVColors caches them.
using ThemeSource = std::function<QNKitTheme()>;
const ThemeSource& theme();
void setTheme(ThemeSource source);
QNKitTheme defaultTheme();

// The maker's web address (the same value as OVInfo::website).
QUrl creditURL();

} // namespace QNMRKitHost
