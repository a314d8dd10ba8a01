#pragma once
// Small helpers shared by the tests.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <QElapsedTimer>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Waits at most `ms` milliseconds for `child` to end and reaps it, with its wait
// status in `status`. A child still running then is killed and reaped, and the
// answer is false: a hung child fails a test in seconds instead of hanging the run.
inline bool waitForChild(pid_t child, int& status, int ms = 10000)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child)
            return true;
        if (done < 0)
            return false;
        if (clock.elapsed() > ms) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return false;
        }
        usleep(1000);
    }
}

// Reads one byte from the pipe `fd`, waiting at most `ms` milliseconds; false when
// none came in that time, or the pipe was closed at its other end.
inline bool readByte(int fd, char& byte, int ms = 10000)
{
    pollfd ready{fd, POLLIN, 0};
    return poll(&ready, 1, ms) == 1 && read(fd, &byte, 1) == 1;
}

// A child process killed and reaped when the test leaves, however it leaves, unless
// it was reaped before (pid set to 0).
struct ChildGuard {
    pid_t pid = 0;
    ~ChildGuard()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
};

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

// What `ask` returns when run in a forked child, for questions only another process
// can answer (the locks it sees, what a connection of its own reads); `failed` when
// the child could not answer. The child leaves by _exit, running no destructor.
template <typename T, typename Ask>
T askAnotherProcess(Ask ask, T failed)
{
    int answer[2];
    if (pipe(answer) != 0)
        return failed;
    const pid_t child = fork();
    if (child == 0) {
        close(answer[0]);
        const T value = ask();
        _exit(write(answer[1], &value, sizeof value) == ssize_t(sizeof value) ? 0 : 1);
    }
    close(answer[1]);
    T value = failed;
    if (child < 0 || read(answer[0], &value, sizeof value) != ssize_t(sizeof value))
        value = failed;
    close(answer[0]);
    if (child > 0)
        waitpid(child, nullptr, 0);
    return value;
}

// The process whose lock keeps a writer off `path`, as another process sees it
// through fcntl(F_GETLK) from a child process (a process never sees its own locks);
// 0 when there is none, -1 when it could not be asked.
inline pid_t lockHolderSeenElsewhere(const QString& path)
{
    return askAnotherProcess<pid_t>(
        [&path] {
            const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
            struct flock lock {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            if (fd < 0 || ::fcntl(fd, F_GETLK, &lock) != 0)
                return pid_t(-1);
            return lock.l_type == F_UNLCK ? pid_t(0) : lock.l_pid;
        },
        -1);
}

} // namespace testsupport
