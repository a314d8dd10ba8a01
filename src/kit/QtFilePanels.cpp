#include "kit/QtFilePanels.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QStringList>

namespace QtFilePanels {

namespace {

// Gives the files a dialog lists their icons and types by name alone. Qt's own
// provider asks the MIME database with content matching, which opens and reads every
// file that no name pattern places, the database, its -wal and -shm files and the
// safety copies among them; closing that descriptor drops every POSIX lock this
// process holds on the file, the engine's included. A desktop theme's file icons
// read the files as well. Folders get the folder icon, never one they name themselves.
class NameOnlyIconProvider final : public QFileIconProvider {
public:
    using QFileIconProvider::icon;

    QIcon icon(const QFileInfo& info) const override
    {
        if (info.isRoot())
            return icon(Drive);
        if (info.isDir())
            return icon(Folder);
        const QMimeType type = typeByName(info);
        return QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), icon(File)));
    }

    QString type(const QFileInfo& info) const override
    {
        // Qt reads nothing for the rest (folders, links to nowhere, devices).
        if (!info.isFile())
            return QFileIconProvider::type(info);
        const QMimeType type = typeByName(info);
        // A name no pattern places says at least what it ends in ("sqlite File").
        if (type.isDefault() && !info.suffix().isEmpty())
            return QStringLiteral("%1 File").arg(info.suffix());
        return type.comment().isEmpty() ? type.name() : type.comment();
    }

private:
    QMimeType typeByName(const QFileInfo& info) const
    {
        return m_types.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension);
    }

    QMimeDatabase m_types;
};

// Settings every dialog takes before it lists anything: Qt's own dialog (a desktop's
// dialog in this process would read the files to tell their types) with the icons
// above. `icons` outlives the dialog.
void nameTypesOnly(QFileDialog& dialog, NameOnlyIconProvider& icons)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setOption(QFileDialog::DontUseCustomDirectoryIcons, true);
    dialog.setIconProvider(&icons);
}

QStringList filters(const QList<FileType>& types)
{
    QStringList out;
    for (const FileType& t : types)
        out.append(t.nameFilter());
    return out;
}

std::optional<QString> chosen(QFileDialog& dialog)
{
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.first().isEmpty())
        return std::nullopt;
    return files.first();
}

std::optional<QString> save(const QString& name, const QList<FileType>& types)
{
    NameOnlyIconProvider icons;
    QFileDialog dialog(QApplication::activeWindow());
    nameTypesOnly(dialog, icons);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters(types));
    if (!types.isEmpty())
        dialog.setDefaultSuffix(types.first().suffix());
    dialog.selectFile(name);
    return chosen(dialog);
}

std::optional<QString> open(const QList<FileType>& types, const QString& message)
{
    NameOnlyIconProvider icons;
    QFileDialog dialog(QApplication::activeWindow(), message);
    nameTypesOnly(dialog, icons);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (!types.isEmpty()) {
        // One filter for every allowed kind at once, then each kind on its own.
        QStringList all;
        for (const FileType& t : types)
            all.append(t.patterns);
        all.removeDuplicates();
        QStringList list = filters(types);
        if (types.size() > 1)
            list.prepend(QStringLiteral("All supported files (") + all.join(QLatin1Char(' ')) + QLatin1Char(')'));
        dialog.setNameFilters(list);
    }
    return chosen(dialog);
}

std::optional<QString> folder(const QString& message)
{
    NameOnlyIconProvider icons;
    QFileDialog dialog(QApplication::activeWindow(), message);
    nameTypesOnly(dialog, icons);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Export Here"));
    return chosen(dialog);
}

} // namespace

FilePanels::Backend backend()
{
    FilePanels::Backend b;
    b.save = save;
    b.open = open;
    b.folder = folder;
    b.reveal = FilePanels::revealInFileManager;
    b.revealItems = FilePanels::revealItemsInFileManager;
    return b;
}

void install()
{
    FilePanels::backend() = backend();
}

} // namespace QtFilePanels
