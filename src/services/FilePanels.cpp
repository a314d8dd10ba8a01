#include "services/FilePanels.h"

#include "services/AppModel.h"

#include "services/Opener.h"
#include "store/OVStore.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

#include <fcntl.h>

namespace FilePanels {

namespace {

// How long a file manager may take to answer before the folder is opened instead.
constexpr int kRevealTimeoutMs = 3000;

Backend defaultBackend()
{
    Backend b;
    b.save = [](const QString&, const QList<FileType>&) -> std::optional<QString> { return std::nullopt; };
    b.open = [](const QList<FileType>&, const QString&) -> std::optional<QString> { return std::nullopt; };
    b.folder = [](const QString&) -> std::optional<QString> { return std::nullopt; };
    b.reveal = revealInFileManager;
    return b;
}

void reportFailure(const QString& reason)
{
    AppModel::shared().setMessage(saveFailedMessage(reason));
}

void revealIfSet(const QString& path)
{
    if (backend().reveal)
        backend().reveal(path);
}

} // namespace

Backend& backend()
{
    static Backend instance = defaultBackend();
    return instance;
}

bool writeAll(QIODevice& file, const QByteArray& bytes)
{
    const qint64 start = file.pos();
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const qint64 written = file.write(data, left);
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    // A big file goes to the disk a megabyte at a time as it is written, instead of
    // all at its final sync: a save of the window, which waits for the disk, then
    // never queues behind a whole export.
    constexpr qint64 step = 1 << 20;
    auto* disk = qobject_cast<QFileDevice*>(&file);
    if (disk && disk->handle() >= 0 && start / step != file.pos() / step) {
        if (!disk->flush())
            return false;
        ::sync_file_range(disk->handle(), 0, 0,
                          SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    }
    return true;
}

QString saveFailedMessage(const QString& reason)
{
    return QStringLiteral("The file could not be saved: ") + reason;
}

void revealInFileManager(const QString& path)
{
    revealItemsInFileManager({path});
}

void revealAll(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    if (backend().revealItems)
        backend().revealItems(paths);
    else
        revealIfSet(paths.first());
}

void revealItemsInFileManager(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    QStringList uris;
    for (const QString& path : paths)
        uris.append(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded));
    const QUrl folderUrl = QUrl::fromLocalFile(QFileInfo(paths.first()).absolutePath());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        Opener::showFolder(folderUrl);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << uris << QString();
    // Never waited for: a file manager that is slow or missing must not freeze the
    // window. The folder is opened once the call has failed or timed out.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kRevealTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [folderUrl](QDBusPendingCallWatcher* done) {
                         if (done->isError())
                             Opener::showFolder(folderUrl);
                         done->deleteLater();
                     });
}

std::optional<QString> save(const QString& name, const QList<FileType>& types)
{
    return backend().save ? backend().save(name, types) : std::nullopt;
}

std::optional<QString> open(const QList<FileType>& types, const QString& message)
{
    return backend().open ? backend().open(types, message) : std::nullopt;
}

std::optional<QString> folder(const QString& message)
{
    return backend().folder ? backend().folder(message) : std::nullopt;
}

void exportCSV(const QString& text, const QString& name)
{
    exportData(text.toUtf8(), name, FileType::commaSeparatedText());
}

bool refusedAsOpenDatabase(const QString& path, const OVStore* store)
{
    if (!store || !store->isOwnFile(path))
        return false;
    reportFailure(QStringLiteral("choose a file other than the open database."));
    return true;
}

void exportData(const QByteArray& data, const QString& name, const FileType& type)
{
    const std::optional<QString> path = save(name, {type});
    if (!path || refusedAsOpenDatabase(*path, OVStore::shared()))
        return;
    // Written beside the target and renamed over it, so a failed write never leaves
    // a truncated file where a good one was.
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly)) {
        reportFailure(file.errorString());
        return;
    }
    if (!writeAll(file, data)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        reportFailure(reason);
        return;
    }
    if (!file.commit()) {
        reportFailure(file.errorString());
        return;
    }
    revealIfSet(*path);
}

} // namespace FilePanels
