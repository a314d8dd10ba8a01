#pragma once
// Saves the five preference keys a self-check run may change, sets the run's
// values, and puts every key back afterwards: a key absent before is absent after,
// and the settings file is left byte for byte as it was. A settings file that
// existed is never deleted or shortened: when its bytes could not be read before
// the run, only the five keys are put back, through the settings themselves.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
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
    QList<std::pair<QString, std::optional<QVariant>>> m_saved;
    bool m_fileExisted = false;
    std::optional<QByteArray> m_fileBytes; // nullopt: no file, or it could not be read
};
