#pragma once
// A kind of file the dialogs offer or accept: a title for people and the file-name
// patterns that belong to it. The first pattern's extension is the one a saved file
// gets when the user types a name without one.

#include <QList>
#include <QString>
#include <QStringList>

struct FileType {
    QString title;
    QStringList patterns; // e.g. "*.csv"

    // "CSV files (*.csv)", the form file dialogs take.
    QString nameFilter() const;
    // "csv" from the first pattern; empty when it has no plain extension.
    QString suffix() const;

    static FileType commaSeparatedText();
    static FileType tabSeparatedText();
    static FileType plainText();
    static FileType pdf();
    // Every picture format the image readers of this installation know.
    static FileType image();
    // The program's backup files (".ovbackup").
    static FileType backup();

    friend bool operator==(const FileType&, const FileType&) = default;
};
