#pragma once
// Decides, before any Qt application object exists, whether the window can be shown
// at all. Without a display, Qt ends the process with "could not connect to display
// ... Aborted", which reads like a crash; this says in one plain line what is needed.
// Only the window path asks: the command-line modes run on the offscreen platform.

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>

class DisplayCheck {
public:
    // The line to print (and then exit 1) when no display can be reached: neither
    // DISPLAY nor WAYLAND_DISPLAY is set and no platform was chosen (QT_QPA_PLATFORM,
    // or Qt's own -platform argument). Nothing when the window may try to start.
    static std::optional<QString> missingDisplayMessage(const QProcessEnvironment& environment,
                                                        const QStringList& arguments);
};
