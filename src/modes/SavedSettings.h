#pragma once
// A set of preference keys and the settings file as they were at save(). Putting
// them back writes the keys through the settings first (so the live settings agree),
// then the file's old bytes over the file, so the user's file ends byte for byte as
// it was, or absent when it was absent. A file that existed is never deleted or
// shortened: when its bytes could not be read, only the keys are put back.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>
#include <utility>

class SavedSettings {
public:
    using Reader = std::function<std::optional<QByteArray>(const QString& path)>;
    using Writer = std::function<bool(const QString& path, const QByteArray& bytes)>;

    // The whole file, or nothing when it cannot be read completely.
    static std::optional<QByteArray> readWholeFile(const QString& path);
    // Replaces the file in one step; false when that failed.
    static bool replaceFile(const QString& path, const QByteArray& bytes);

    void save(const QStringList& keys, const Reader& read = readWholeFile);
    void restore(const Writer& write = replaceFile) const;

private:
    QString m_path;
    QList<std::pair<QString, std::optional<QVariant>>> m_values;
    bool m_fileExisted = false;
    std::optional<QByteArray> m_fileBytes; // nullopt: no file, or it could not be read
};
