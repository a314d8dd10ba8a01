#pragma once
// Small helpers shared by the tests.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cerrno>
#include <csignal>
#include <ostream>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
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

// Kills `child` and reaps it. A killed child ends at once; a signal to this process
// can only cut the wait short, and then it is waited for again.
inline void killAndReap(pid_t child, int* status = nullptr)
{
    kill(child, SIGKILL);
    while (waitpid(child, status, 0) < 0 && errno == EINTR) {
    }
}

// Waits at most `ms` milliseconds for `child` to end and reaps it, with its wait
// status in `status`. A child still running then is killed and reaped, and the
// answer is false: a hung child fails a test in seconds instead of hanging the run.
// A signal that interrupts a wait only retries it, so no answer leaves the child
// running or unreaped (false without a kill only when it is no child to wait for).
inline bool waitForChild(pid_t child, int& status, int ms = 10000)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const pid_t done = waitpid(child, &status, WNOHANG);
        if (done == child)
            return true;
        if (done < 0 && errno == EINTR)
            continue;
        if (done < 0)
            return false;
        if (clock.elapsed() > ms) {
            killAndReap(child, &status);
            return false;
        }
        usleep(1000);
    }
}

// A child process killed and reaped when the test leaves, however it leaves, unless
// it was reaped before (pid set to 0).
struct ChildGuard {
    pid_t pid = 0;
    ~ChildGuard()
    {
        if (pid > 0)
            killAndReap(pid);
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

// Reads `size` bytes from `fd` (a pipe) within `ms`; false when they did not all come
// in time or the other end closed first.
inline bool readWithin(int fd, void* into, size_t size, int ms)
{
    const QDeadlineTimer deadline(ms);
    auto* at = static_cast<char*>(into);
    while (size > 0) {
        pollfd ready{fd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, int(deadline.remainingTime()));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled != 1)
            return false;
        const ssize_t got = ::read(fd, at, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        at += got;
        size -= size_t(got);
    }
    return true;
}

// How long a forked child has to answer before it is killed.
constexpr int childAnswerMs = 10000;

// What `ask` returns when run in a forked child, for questions only another process
// can answer (the locks it sees, what a connection of its own reads); `failed` when
// the child could not answer, or not within childAnswerMs. The child leaves by _exit,
// running no destructor, and is reaped (killed first if it is still there) before
// this returns. `ask` runs after a fork of a process with threads: it does best with
// what was prepared before it (a file name encoded, say).
template <typename T, typename Ask>
T askAnotherProcess(Ask ask, T failed)
{
    int answer[2];
    if (pipe2(answer, O_CLOEXEC) != 0)
        return failed;
    const pid_t child = fork();
    if (child == 0) {
        close(answer[0]);
        const T value = ask();
        _exit(write(answer[1], &value, sizeof value) == ssize_t(sizeof value) ? 0 : 1);
    }
    close(answer[1]);
    T value = failed;
    if (child < 0 || !readWithin(answer[0], &value, sizeof value, childAnswerMs))
        value = failed;
    close(answer[0]);
    if (child > 0)
        killAndReap(child); // gone already when it answered; harmless before it is reaped
    return value;
}

// The process whose lock keeps a writer off `path`, as another process sees it
// through fcntl(F_GETLK) from a child process (a process never sees its own locks);
// 0 when there is none, -1 when it could not be asked.
inline pid_t lockHolderSeenElsewhere(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    return askAnotherProcess<pid_t>(
        [&name] {
            const int fd = ::open(name.constData(), O_RDWR | O_CLOEXEC);
            struct flock lock {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            if (fd < 0 || ::fcntl(fd, F_GETLK, &lock) != 0)
                return pid_t(-1);
            return lock.l_type == F_UNLCK ? pid_t(0) : lock.l_pid;
        },
        -1);
}

// What stat tells of a file, taken without opening it (opening and closing a file of
// the open store would drop the engine's locks on it): a write, a truncation or
// another file renamed over the name changes it. `exists` is false for no file.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

inline FileStamp stampOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return {true,
            st.st_dev,
            st.st_ino,
            st.st_size,
            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

inline void PrintTo(const FileStamp& stamp, std::ostream* out)
{
    if (!stamp.exists) {
        *out << "no file";
        return;
    }
    *out << "inode " << stamp.device << ':' << stamp.inode << ", " << stamp.size << " bytes, modified "
         << stamp.modifiedNs << ", changed " << stamp.changedNs;
}

} // namespace testsupport
