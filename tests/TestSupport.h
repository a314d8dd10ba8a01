#pragma once
// Small helpers shared by the tests.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace testsupport {

// A scratch folder removed when the test ends.
class ScratchDir {
public:
    ScratchDir() : m_dir(QDir::tempPath() + QStringLiteral("/ov-scratch-XXXXXX")) {}
    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    // For a death test's child, which leaves by _Exit and so never runs destructors.
    void remove() { m_dir.remove(); }

private:
    QTemporaryDir m_dir;
};

// The `id` of every item, in order.
template <typename List>
QStringList ids(const List& items)
{
    QStringList out;
    for (const auto& item : items)
        out.append(item.id);
    return out;
}

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

// Sets an environment variable for the life of the object, then restores it.
class EnvGuard {
public:
    EnvGuard(const char* name, const QByteArray& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvGuard()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

} // namespace testsupport
