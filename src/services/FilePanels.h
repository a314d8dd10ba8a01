#pragma once
// Asks the user where to save a file, which file to open or which folder to export
// into, and writes export files. The dialogs themselves belong to the interface:
// the core reaches them through a replaceable backend, which the application
// installs at start-up (the Qt file dialogs) and tests replace with fixed answers.
// Until a backend is installed every dialog answers "cancelled".
//
// Invariants: a cancelled dialog writes nothing and says nothing; a failed export
// write sets AppModel's notice to "The file could not be saved: " + the reason and
// never reveals a file; a CSV export replaces an existing file whole or not at all.

#include "services/FileType.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class OVStore;

namespace FilePanels {

// What the platform provides. Paths are local file paths.
struct Backend {
    // A save dialog with a suggested file name; the chosen path or nothing.
    std::function<std::optional<QString>(const QString& name, const QList<FileType>& types)> save;
    // An open dialog for one existing file of the given types.
    std::function<std::optional<QString>(const QList<FileType>& types, const QString& message)> open;
    // A dialog for one folder (folders may be created; confirm button "Export Here").
    std::function<std::optional<QString>(const QString& message)> folder;
    // Shows the file selected in the file manager.
    std::function<void(const QString& path)> reveal;
    // Shows several files of one folder selected together; when unset, revealAll()
    // shows the first of them through `reveal`.
    std::function<void(const QStringList& paths)> revealItems;
};

// The backend in force; assign to replace it (one function or all of them).
Backend& backend();

// The desktop's own way to show a file: the file manager's ShowItems over D-Bus,
// else the containing folder, through Opener::showFolder. Returns at once: the
// D-Bus call is answered later on the event loop (up to 3 s), and the folder is
// opened then if it failed; without a session bus, the folder is opened right away.
// The default `reveal`.
void revealInFileManager(const QString& path);
// The same for several files of one folder, all selected at once.
void revealItemsInFileManager(const QStringList& paths);
// Shows the files through the backend (see Backend::revealItems); nothing for none.
void revealAll(const QStringList& paths);

std::optional<QString> save(const QString& name, const QList<FileType>& types);
std::optional<QString> open(const QList<FileType>& types, const QString& message);
std::optional<QString> folder(const QString& message);

// Asks for a place (CSV type), writes the text there as UTF-8 atomically and
// reveals it; a failure becomes AppModel's notice.
void exportCSV(const QString& text, const QString& name);
// Same for bytes of the given type, also replaced whole or not at all.
void exportData(const QByteArray& data, const QString& name, const FileType& type);

// Writes all of `bytes` into the open file; a short write is retried, so the call
// that fails carries the system's reason (for example "No space left on device")
// into the file's errorString(). False on that failure.
bool writeAll(QIODevice& file, const QByteArray& bytes);

// The notice text for a failed export write.
QString saveFailedMessage(const QString& reason);

// Whether `path` is the database of `store` (none: no store is open) or one of its
// side files, which no export may be saved over: the store would go on writing into
// a file that no longer has a name. When it is, says so through AppModel's notice.
bool refusedAsOpenDatabase(const QString& path, const OVStore* store);

} // namespace FilePanels
