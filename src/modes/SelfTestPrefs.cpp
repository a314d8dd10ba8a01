#include "modes/SelfTestPrefs.h"

#include "records/OVPrefs.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

std::function<std::optional<QByteArray>(const QString&)> SelfTestPrefs::readFile =
    [](const QString& path) -> std::optional<QByteArray> {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
};

QStringList SelfTestPrefs::keys()
{
    return {QStringLiteral("qnmr.theme"), OVPrefs::unitKey, QStringLiteral("qnmr.zoom"),
            OVPrefs::remindersKey, OVPrefs::alertsKey};
}

void SelfTestPrefs::saveAndPrepare()
{
    OVPrefs::sync();
    const QString path = OVPrefs::settingsFilePath();
    // A dangling link counts as existing too: it is the user's, not ours to remove.
    m_fileExisted = QFileInfo(path).exists() || QFileInfo(path).isSymLink();
    m_fileBytes = m_fileExisted ? readFile(path) : std::nullopt;

    m_saved.clear();
    for (const QString& key : keys()) {
        if (OVPrefs::contains(key))
            m_saved.append({key, OVPrefs::value(key)});
        else
            m_saved.append({key, std::nullopt});
    }
    OVPrefs::setValue(OVPrefs::unitKey, QStringLiteral("F"));
    OVPrefs::setValue(OVPrefs::remindersKey, true);
    OVPrefs::setValue(OVPrefs::alertsKey, true);
}

void SelfTestPrefs::restore()
{
    for (const auto& [key, value] : m_saved) {
        if (value)
            OVPrefs::setValue(key, *value);
        else
            OVPrefs::remove(key);
    }
    OVPrefs::sync();
    // Writing the keys back can reorder or re-encode the file; the bytes read before
    // the run are what the user had, so they are put back as they were.
    // When they could not be read, the keys written back above are all we can do.
    const QString path = OVPrefs::settingsFilePath();
    if (m_fileBytes) {
        QSaveFile out(path);
        if (out.open(QIODevice::WriteOnly)) {
            out.write(*m_fileBytes);
            out.commit();
        }
    } else if (!m_fileExisted) {
        QFile::remove(path);
    }
}
