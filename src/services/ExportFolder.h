#pragma once
// The folder side of Export Everything: the eight files of a run written as
// temporaries and put in place together, the record a run keeps of what it places,
// the tidy of what runs killed part way left behind, and the lock that keeps one
// export at a time in a folder. The tables' text is the exporter's; this unit never
// looks inside a file but to tell whether it is exactly the one a run wrote.
//
// Invariants:
// - A file is replaced whole or not at all (written to a temporary file in the same
//   folder and renamed over it); a failure never leaves a truncated file behind, and
//   a failed run never leaves a mix of earlier and new files.
// - Before it puts anything in place, a run records, synced, under one random token:
//   for each of the names whether a file stood there, and the identity (size and
//   digest of the bytes) of the new file it will put there. A killed export leaves
//   hidden files beside the names, all under that token: temporary copies
//   ".<name>.orvane-export-<token>.tmp", second names of earlier files
//   ".<name>.orvane-export-<token>.previous" and the record
//   ".orvane-export-<token>.record". tidyLeftovers() settles them in one pass, run
//   by run:
//   - A run with no temporary copy left had put all its files in place: it has
//     finished, and its second names and record go.
//   - A run with a temporary copy left was cut while it wrote or placed its files. A
//     run writes its record before it gives any file a second name, so one without a
//     whole record that keeps no earlier file under a second name placed nothing.
//   - The one cut run that may have placed anything is taken back by its whole
//     record, never by comparing clock times. Under each name, a file that is exactly
//     the run's own new file, unchanged, is replaced by the second name of the file
//     that stood there, or removed where none stood there; where no entry stands under
//     the name, the second name goes back. A second name that is the same file as its
//     name is a mere extra link (the run was cut between giving it and placing its own
//     file). Any other file under a name is a person's (edited, saved over, or moved
//     in with its times kept) and stays; that name's earlier copy goes. A folder under
//     a name is no file: the put-back over it fails and the earlier copy stays.
//   - A folder the tidy cannot account for (a cut run keeping earlier files without a
//     whole readable record, or beside another cut run that may have placed anything)
//     is never settled by a guess: only a second name that is the one kept for a name
//     where no entry stands goes back, by a rename that replaces nothing, and nothing
//     else is put back or removed. The tidy then stops (OVError::file naming the
//     folder and saying what it changed there, if anything: the one cut run taken
//     back, earlier files put back under names that stood empty; or an unreadable
//     record with the system's reason). Several cut runs none of which keeps an
//     earlier file hide nothing earlier: the files under the names stay as they are,
//     and only the runs' own hidden files go.
//   - A second name never goes while no file stands under its name (a folder there
//     is none), a finished run's neither: where the name stands empty and it is the
//     only one kept for that name it goes back. Where several are kept for it, none
//     does, and the tidy stops as above once it has taken back the one cut run it
//     can. Second names of any kind but folders (a symbolic link, a FIFO) are put back
//     and removed by name and never opened; temporaries and records are regular files
//     only.
//   - Then every other second name, the temporaries and, last, the records go.
// - The tidy never opens the open store's files: a file under a name that is the
//   database or a side file of it (a hard link a person made) counts as a person's,
//   unread and untouched. It compares the very file it would read, through a
//   descriptor that opens no file for reading, before it reads it through that
//   descriptor. Closing any other descriptor of those would drop the engine's locks.
// - In the export's own folder, a put-back or removal of a cut run's leftovers that
//   fails, or a folder that cannot be accounted for, throws (OVError::file naming
//   the file or the folder) before anything is written; what was put back before it
//   stays so. So at most one cut run lies in a folder the tidy has passed. Nothing
//   else is touched: neither a person's own hidden files nor leftovers named otherwise
//   (those of earlier versions included). In the other dated export folders, the same
//   is done, except that a failure leaves the rest of that folder as it is (put-backs
//   before it stay done) and the export goes on.

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFileDevice>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <system_error>

class OVStore;

namespace ExportFolder {

// What tells a file the exporter wrote from any other under its name: its size and
// a digest of its bytes. Both survive a copy with the times kept and a drive unplugged
// and plugged in again, which hands out new inode numbers on FAT and exFAT; no clock
// is involved, so a clock set back or a time kept by mv or cp -p cannot mislead it.
struct FileIdentity {
    qint64 size = -1;
    QByteArray digest; // hex
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// Fast, and 256 bits long: two different files of one size share a digest only by
// a chance far smaller than that of a disk's own undetected error. A person who
// wants a file taken for the run's can still copy the run's own bytes under a name.
constexpr QCryptographicHash::Algorithm identityDigest = QCryptographicHash::Blake2b_256;

// The start of the name of each dated export folder ("QNMR Orvane export 2026-06-10").
extern const QString datedFolderPrefix;

// Buffers UTF-8 text into a file in large writes, and takes the identity of what it
// wrote on the way.
class FileSink {
public:
    explicit FileSink(QFileDevice& file) : m_file(file) { m_buffer.reserve(chunk + 4096); }

    bool add(const QString& text)
    {
        m_buffer += text.toUtf8();
        return m_buffer.size() < chunk || flush();
    }

    // A short write is retried: only the call that fails outright carries the
    // system's reason (for example "File too large") into errorString().
    bool flush();

    // The identity of the bytes written so far.
    FileIdentity identity() const { return {m_size, m_hash.result().toHex()}; }

private:
    static constexpr qsizetype chunk = 1 << 16;
    QFileDevice& m_file;
    QByteArray m_buffer;
    QCryptographicHash m_hash{identityDigest};
    qint64 m_size = 0;
};

// The files of one export, each written complete to a temporary file beside its
// target before any target is touched, then put in place together. Until then a
// failure, a cancel or an exception takes only the temporary files away: whatever
// stood under the targets' names (an earlier export of the same day) stays as it was.
class PendingFiles {
public:
    explicit PendingFiles(const QDir& folder);
    PendingFiles(const PendingFiles&) = delete;
    PendingFiles& operator=(const PendingFiles&) = delete;
    ~PendingFiles();

    // Writes one file's temporary copy and syncs it to the disk. A failure names
    // the target with the system's reason; an exception from `fill` (a failed read,
    // a cancel) passes through. Either way the copy is gone.
    void write(const QString& name, const std::function<bool(FileSink&)>& fill);

    // Records what the run is about to do, then renames every temporary copy over
    // its target. When one rename fails, the targets already replaced get their
    // earlier files back (or go, where there was none), so the folder holds either
    // the whole earlier set or the whole new one. Once the last copy is in place the
    // export has finished, and the second names of the earlier files go, then the
    // record; one that cannot be removed is left to the next tidy.
    QStringList place();

private:
    struct Pending {
        FileIdentity identity; // of the temporary copy, and so of the file it becomes
        QString target;
        QString temp;
        QString previous;       // the name `kept` takes
        QString kept;           // a second name of the earlier file under `target`
        bool movedAside = false; // `kept` is that file's only name now
        bool placed = false;
    };

    QString recordPath() const;
    void record();
    static int keepEarlier(Pending& file);
    void undo(qsizetype failed);

    QDir m_folder;
    QString m_token;
    QList<Pending> m_files;
    bool m_recorded = false;       // the record is there
    bool m_keepTemporaries = false; // the run could not be taken back whole: the tidy will
};

// Takes back, then removes, what runs killed part way left in `folder` (see above),
// in one pass, for an export of the files `names`, with `store` open.
void tidyLeftovers(const QDir& folder, const QStringList& names, const OVStore& store);

// Tidies the other dated export folders in `parent` than `target` the same way; a
// folder whose tidy fails is left as it is from there on.
void tidyOtherExportFolders(const QDir& parent, const QString& target, const QStringList& names,
                            const OVStore& store);

// An advisory lock on the folder the dated export folders stand in, held for one
// export's tidy, writing and placing. Another export into it, from this process or
// another (on another computer too, where the file system passes such locks on),
// fails at once with OVError::invalid rather than take this run for a cut one.
// The lock does not hold everywhere: where the file system refuses an exclusive
// lock on a folder opened for reading (NFS does: flock fails with EBADF there) or
// takes no locks at all, none is held and the export goes on unlocked, so two
// exports into one such folder at once are not kept apart.
class Lock {
public:
    explicit Lock(const QString& parent);
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    int m_fd;
};

// The calls that give an earlier file its second name, put finished files in place
// and remove the hidden names and the files a cut run placed, and those below,
// returning the system's error. Tests replace them to make a call fail part way, to
// stand for a file system without hard links (FAT, exFAT) or locks (NFS), or to kill
// a run at a given step.
extern std::function<std::error_code(const QString& from, const QString& to)> renameFile;
extern std::function<std::error_code(const QString& existing, const QString& newName)> linkFile;
extern std::function<std::error_code(const QString& path)> removeFile;
// Puts a second name back under a name where no entry stands, replacing nothing
// (see ::renameNoReplace): EEXIST when an entry stands there by then.
extern std::function<std::error_code(const QString& from, const QString& to)> renameNoReplace;
// Forces a written file (a temporary copy, the record) to the disk.
extern std::function<std::error_code(int fd)> syncFile;
// Reads `fd` to its end in pieces, handing each to `take`, which returns false to
// stop early: a run's record, and a file under a name whose identity is checked.
extern std::function<std::error_code(int fd, const std::function<bool(QByteArrayView)>& take)> readFile;
// Opens for reading the very file that `pathFd`, a descriptor opened as a path only,
// stands for, into `fd`.
extern std::function<std::error_code(int pathFd, int& fd)> openFile;
// Takes the folder lock without waiting: EWOULDBLOCK when another holds it.
extern std::function<std::error_code(int fd)> lockFolder;

} // namespace ExportFolder
