#pragma once
// Hands the shared kit what is particular to this product: Redwood Grove as the
// default theme, the application name, the help topics, the two extra themes and the
// About box's lines. Runs before the first kit window, view or menu is drawn (normal
// start, self-check and snapshot mode alike); running it again sets the same values
// and registers no theme twice. Main thread only.

#include "records/OVDay.h"
#include "services/Screen.h"

#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class OVStore;

namespace OVSetup {

void configure();

// The interactive window's look, set once before it opens: the application icon
// (compiled in from desktop/, shown by the window list and the About box) and the
// theme's palette and style for the whole application (OVThemeRoot::styleApplication).
void styleApplication();
// The application icon as compiled in.
QIcon applicationIcon();

// Opens the store at OVInfo::databaseURL() and makes it the shared store. When that
// fails the file is left exactly as it was, "Greenhouse (opened <today>).sqlite" in
// the data folder is opened instead (also when OV_DB_PATH pointed elsewhere) and a
// notice naming the unopened file is posted to the app model for when the event loop
// runs. When the fallback fails too, nothing is shared, the result is empty and
// `failure` holds the text to show before quitting. Never throws.
std::unique_ptr<OVStore> openStore(QString& failure, const OVDay& today = OVDay::today());

// "Greenhouse (opened 2026-12-07).sqlite"
QString fallbackName(const OVDay& today);
// The notice of a start on the fallback store.
QString fallbackNotice(const QString& error, const QString& path);
// The message when neither the database nor the fallback opens.
QString failureMessage(const QString& error, const QString& path, const QString& fallbackError,
                       const QString& fallbackPath);

// The nine screens with Ctrl+1 to Ctrl+9, in digit order.
const QList<Screen>& goMenu();

// The two lines the About box shows under the version.
QStringList aboutLines();

} // namespace OVSetup
