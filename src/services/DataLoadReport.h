#pragma once
// What reading one reference file gave: how many data rows it held, how many
// entries of its kind the library holds afterwards, and one text per rejected row
// (or the single "file missing").

#include <QString>
#include <QStringList>

struct DataLoadReport {
    QString file;        // the file's name, e.g. "reference-crops.csv"
    int rows = 0;        // data rows, header excluded
    int loaded = 0;      // entries the library holds after the file
    QStringList problems;

    friend bool operator==(const DataLoadReport&, const DataLoadReport&) = default;
};
