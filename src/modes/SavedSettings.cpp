#include "modes/SavedSettings.h"

#include "records/OVPrefs.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

std::optional<QByteArray> SavedSettings::readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

bool SavedSettings::replaceFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile out(path);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit();
}

void SavedSettings::save(const QStringList& keys, const Reader& read)
{
    OVPrefs::sync();
    m_path = OVPrefs::settingsFilePath();
    // A dangling link counts as existing too: it is the user's, not ours to remove.
    m_fileExisted = QFileInfo(m_path).exists() || QFileInfo(m_path).isSymLink();
    m_fileBytes = m_fileExisted ? read(m_path) : std::nullopt;

    m_values.clear();
    for (const QString& key : keys) {
        if (OVPrefs::contains(key))
            m_values.append({key, OVPrefs::value(key)});
        else
            m_values.append({key, std::nullopt});
    }
}

void SavedSettings::restore(const Writer& write) const
{
    for (const auto& [key, value] : m_values) {
        if (value)
            OVPrefs::setValue(key, *value);
        else
            OVPrefs::remove(key);
    }
    OVPrefs::sync();
    // Writing the keys back can reorder or re-encode the file; the bytes read before
    // are what the user had, so they are put back as they were.
    if (m_fileBytes)
        write(m_path, *m_fileBytes);
    else if (!m_fileExisted)
        QFile::remove(m_path);
}
