#pragma once
// Decides from the command line which mode the process runs in. Flags match whole
// arguments exactly (case-sensitive). The child modes win over the snapshot mode,
// and both win over the self-check; a child or snapshot flag in last place has no
// path after it and counts as absent.

#include <QString>
#include <QStringList>

struct StartupDispatch {
    enum class Mode { Window, ChildWrite, ChildRead, Snapshot, SelfTest };

    Mode mode = Mode::Window;
    QString path; // database path of a child mode, output folder of the snapshot mode

    static StartupDispatch decide(const QStringList& arguments);
    bool isCommandLineMode() const { return mode != Mode::Window; }
};
