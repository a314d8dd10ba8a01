#pragma once
// The database file's schema, version 1: thirteen tables and one index, written as
// one multi-statement text that is executed once in a new, empty file.
//
// Invariants: the text is byte-for-byte the same on every call and in every build,
// because SQLite keeps each CREATE statement as written (sqlite_master.sql) and
// backups, inspection and the content digest see that text. The metric columns of
// `zone` and `reading` follow Metric::allCases() order. Nothing ever alters or
// drops a table: a change here is a change of the file format.

#include <QString>
#include <QStringList>

namespace OVSchema {

// The whole text: the statements below joined by ";\n", ending in ";" with no line
// break after it.
QString text();

// Each statement as SQLite stores it in sqlite_master.sql: from "CREATE" up to, not
// including, its terminating ";".
QStringList statements();

} // namespace OVSchema
