#pragma once
// A report as text: column titles, rows of cells and a closing total line, each
// with as many cells as there are titles. The reports screen, the report CSV and
// the report PDF all take it unchanged.

#include <QString>
#include <QStringList>
#include <QList>

struct ReportTableText {
    QStringList header;
    QList<QStringList> rows;
    QStringList total;

    friend bool operator==(const ReportTableText&, const ReportTableText&) = default;
};
