#include "kit/QtFilePanels.h"

#include <QApplication>
#include <QFileDialog>
#include <QStringList>

namespace QtFilePanels {

namespace {

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
    QFileDialog dialog(QApplication::activeWindow());
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
    QFileDialog dialog(QApplication::activeWindow(), message);
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
    QFileDialog dialog(QApplication::activeWindow(), message);
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
