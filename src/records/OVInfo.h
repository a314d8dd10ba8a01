#pragma once
// Fixed texts of the application and where its database lives.
// Locations are computed on every access so a changed environment (OV_DB_PATH)
// is honoured at once; reading them never fails.

#include <QString>
#include <QUrl>

namespace OVInfo {

inline const QString appName = QStringLiteral("QNMR Orvane");
inline const QString creditLine = QStringLiteral("by Quenmoor Softworks (QNMR)");
inline const QString makerName = QStringLiteral("Quenmoor Softworks");
inline const QUrl website = QUrl(QStringLiteral("https://quenmoor.example/"));
inline const QString websiteDomain = QStringLiteral("quenmoor.example");
// The day the shipped reference data was checked against its publications.
inline const QString dataCheckedISO = QStringLiteral("2026-12-06");
inline const QString manualOnlyNote = QStringLiteral(
    "Manual entry / CSV import. QNMR Orvane does not connect to sensors and does not control "
    "fans, heaters, vents or any other equipment.");
inline const QString version = QStringLiteral(ORVANE_VERSION);

// The user's data folder ("~/.local/share/QNMR Orvane"); created with its parents on
// every access, a failure to create it is left for the store's opening to report.
QString dataFolder();

// OV_DB_PATH when set and non-empty, else dataFolder() + "/Greenhouse.sqlite".
QString databasePath();
QUrl databaseURL();

} // namespace OVInfo
