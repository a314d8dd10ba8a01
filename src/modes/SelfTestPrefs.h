#pragma once
// Saves the five preference keys a self-check run may change, sets the run's
// values, and puts every key back afterwards: a key absent before is absent after,
// and the settings file is left byte for byte as it was. A settings file that
// existed is never deleted or shortened: when its bytes could not be read before
// the run, only the five keys are put back, through the settings themselves.

#include "modes/SavedSettings.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class SelfTestPrefs {
public:
    static QStringList keys();

    void saveAndPrepare();
    void restore();

    // Reads the settings file's bytes; nothing when they cannot be read. Tests
    // replace it to make the read fail.
    static std::function<std::optional<QByteArray>(const QString& path)> readFile;

private:
    SavedSettings m_saved;
};
