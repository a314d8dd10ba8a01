#pragma once
// The one typed wrapper over the user's settings. Every preference key of the
// application ("ov.*") and of the kit ("qnmr.*") is read and written here.
//
// The settings file is INI: after a restart a stored bool comes back as the text
// "true" or "false", so those two texts read as booleans. Readers never cache:
// a change made by the settings screen is seen at the next read (the theme colours
// are the one cached value, and they check writeCount()).

#include <QString>
#include <QVariant>
#include <optional>

namespace OVPrefs {

inline const QString unitKey = QStringLiteral("ov.tempUnit");
inline const QString remindersKey = QStringLiteral("ov.reminders");
inline const QString alertsKey = QStringLiteral("ov.climateAlerts");

// Raw access, for the kit's keys and for saving and restoring values.
bool contains(const QString& key);
QVariant value(const QString& key); // invalid QVariant when absent
void setValue(const QString& key, const QVariant& value);
void remove(const QString& key);
void sync();
QString settingsFilePath();
// Counts this process's writes and removals, so a reader may keep a value until the
// count moves instead of opening the settings file again.
quint64 writeCount();

// Typed readers: nullopt when the key is absent or holds another type.
std::optional<bool> boolValue(const QString& key);
std::optional<QString> stringValue(const QString& key);
std::optional<double> doubleValue(const QString& key);

// True exactly when "ov.tempUnit" holds "C".
bool useCelsius();
// True unless the key holds a boolean false.
bool remindersOn();
bool alertsOn();

} // namespace OVPrefs
