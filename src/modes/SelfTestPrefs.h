#pragma once
// Saves the five preference keys a self-check run may change, sets the run's
// values, and puts every key back afterwards: a key absent before is absent after,
// and the settings file is left byte for byte as it was.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

class SelfTestPrefs {
public:
    static QStringList keys();

    void saveAndPrepare();
    void restore();

private:
    QList<std::pair<QString, std::optional<QVariant>>> m_saved;
    std::optional<QByteArray> m_fileBytes; // nullopt: no settings file before the run
};
