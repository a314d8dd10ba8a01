#include "kit/QNMRKitHost.h"

#include "kit/OVColors.h"
#include "records/OVInfo.h"

#include <QGuiApplication>

namespace QNMRKitHost {
namespace {

QString& nameStorage()
{
    static QString name = [] {
        std::optional<QString> display;
        std::optional<QString> plain;
        if (qApp) {
            // The platform falls back from the display name to the application name,
            // and from that to the executable's name; only explicit names count here.
            const QString d = QGuiApplication::applicationDisplayName();
            const QString a = QCoreApplication::applicationName();
            if (!a.isEmpty() && d != a)
                display = d;
            if (!a.isEmpty())
                plain = a;
        }
        return initialAppName(display, plain);
    }();
    return name;
}

ThemeSource& themeStorage()
{
    static ThemeSource source = defaultTheme;
    return source;
}

} // namespace

QString initialAppName(const std::optional<QString>& displayName,
                       const std::optional<QString>& applicationName)
{
    if (displayName && !displayName->isEmpty())
        return *displayName;
    if (applicationName && !applicationName->isEmpty())
        return *applicationName;
    return QStringLiteral("QNMR App");
}

QString appName() { return nameStorage(); }

void setAppName(const QString& name) { nameStorage() = name; }

const ThemeSource& theme() { return themeStorage(); }

void setTheme(ThemeSource source)
{
    // An empty source would leave every kit view without colours.
    themeStorage() = source ? std::move(source) : ThemeSource(defaultTheme);
}

QNKitTheme defaultTheme() { return OVColors::kit(); }

QUrl creditURL() { return OVInfo::website; }

} // namespace QNMRKitHost
