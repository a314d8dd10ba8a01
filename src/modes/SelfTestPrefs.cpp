#include "modes/SelfTestPrefs.h"

#include "records/OVPrefs.h"

#include <QFile>
#include <QSaveFile>

QStringList SelfTestPrefs::keys()
{
    return {QStringLiteral("qnmr.theme"), OVPrefs::unitKey, QStringLiteral("qnmr.zoom"),
            OVPrefs::remindersKey, OVPrefs::alertsKey};
}

void SelfTestPrefs::saveAndPrepare()
{
    OVPrefs::sync();
    QFile file(OVPrefs::settingsFilePath());
    if (file.open(QIODevice::ReadOnly))
        m_fileBytes = file.readAll();

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
    const QString path = OVPrefs::settingsFilePath();
    if (m_fileBytes) {
        QSaveFile out(path);
        if (out.open(QIODevice::WriteOnly)) {
            out.write(*m_fileBytes);
            out.commit();
        }
    } else {
        QFile::remove(path);
    }
}
