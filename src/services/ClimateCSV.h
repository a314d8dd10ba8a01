#pragma once
// Turns the CSV log of a climate logger or a grower's spreadsheet into readings,
// and says, line by line, which rows it refused and why.
//
// Forgiving about the shape of a file (separator, column names and order, units in
// headings and cells, many date spellings, blank and "n/a" cells), strict about the
// values: every value must be a number inside its metric's possible range.
//
// Invariants:
// - read() never throws and never stops at a bad row: a refused row gives exactly
//   one problem (with its source line) and no reading; a problem with the whole
//   file is the only problem of its result, with no readings and totalRows 0.
//   Running out of memory is such a problem ("The file could not be read: it is
//   too large to read into memory"), never an exception.
// - Readings come out unsaved (id 0), in stored units (temperatures in °F),
//   values rounded to three decimals, source "csv".
// - No date is ever stored with its month and day swapped: once any slash date of
//   a file can only be day-first (13/04/2026), none of that file's slash dates is
//   read month-first; each such row is refused instead.
// - The text is walked once (a file with slash dates is first looked through for
//   day-first ones); cells are looked at in place, so a large file costs little
//   more than its readings.

#include "records/Reading.h"
#include "records/Zone.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimeZone>

#include <functional>
#include <optional>
#include <utility>

class OVStore;

struct ImportProblem {
    int line = 0;   // 1-based source line of the refused row (header line for file problems)
    QString reason; // shown to the grower as it is
    friend bool operator==(const ImportProblem&, const ImportProblem&) = default;
};

struct ClimateImportResult {
    QList<Reading> readings;
    QList<ImportProblem> problems;
    QStringList columnsFound;
    int totalRows = 0;
};

class ClimateCSV {
public:
    // Heading keys (as OVCSV::normalizeHeader gives them) of the special columns.
    static const QStringList timeHeaders;     // date and time in one cell
    static const QStringList dateOnlyHeaders;
    static const QStringList timeOnlyHeaders;
    static const QStringList zoneHeaders;
    static const QStringList noteHeaders;
    // Unicode date patterns, tried in this order.
    static const QStringList dateFormats;
    // The example file offered to growers (two lines, each ended by CR LF).
    static const QString templateText; // "template" in the grower-facing sense

    static ClimateImportResult read(const QString& text, const QList<Zone>& zones,
                                    std::optional<qint64> defaultZoneID, bool defaultCelsius,
                                    const QTimeZone& timeZone = QTimeZone::systemTimeZone(),
                                    const QDateTime& now = QDateTime::currentDateTimeUtc());
    // The same reader over UTF-8 text, as loadFile() gives it.
    static ClimateImportResult readUtf8(QByteArrayView text, const QList<Zone>& zones,
                                        std::optional<qint64> defaultZoneID, bool defaultCelsius,
                                        const QTimeZone& timeZone = QTimeZone::systemTimeZone(),
                                        const QDateTime& now = QDateTime::currentDateTimeUtc());

    // The streaming form for large files: each accepted reading goes to `onReading`
    // as soon as its row has been read, in file order, and the result's `readings`
    // stays empty; problems, columns and counts are as read() gives them.
    using ReadingSink = std::function<void(Reading&&)>;
    static ClimateImportResult streamUtf8(QByteArrayView text, const QList<Zone>& zones,
                                          std::optional<qint64> defaultZoneID, bool defaultCelsius,
                                          const ReadingSink& onReading,
                                          const QTimeZone& timeZone = QTimeZone::systemTimeZone(),
                                          const QDateTime& now = QDateTime::currentDateTimeUtc());

    // What a streaming read hands out as it goes instead of collecting it, and how
    // it is stopped; an empty member leaves its part as read() does it.
    // - onReading: each accepted reading, in file order.
    // - onProblem: each problem, in line order; the result's `problems` then holds
    //   only the one that ends a read that ran out of memory.
    // - beforeRow: runs before each data row; an exception it throws (a cancel)
    //   ends the read and leaves the reader as it is.
    using ProblemSink = std::function<void(ImportProblem&&)>;
    struct Hooks {
        ReadingSink onReading;
        ProblemSink onProblem;
        std::function<void()> beforeRow;
    };
    static ClimateImportResult streamUtf8(QByteArrayView text, const QList<Zone>& zones,
                                          std::optional<qint64> defaultZoneID, bool defaultCelsius,
                                          const Hooks& hooks,
                                          const QTimeZone& timeZone = QTimeZone::systemTimeZone(),
                                          const QDateTime& now = QDateTime::currentDateTimeUtc());

    static std::optional<QDateTime> parseDate(const QString& text,
                                              const QTimeZone& timeZone = QTimeZone::systemTimeZone(),
                                              const QDateTime& now = QDateTime::currentDateTimeUtc());

    struct MetricColumn {
        Metric metric;
        bool celsius = false; // only ever true for the two temperature metrics
        friend bool operator==(const MetricColumn&, const MetricColumn&) = default;
    };
    static std::optional<MetricColumn> metric(const QString& heading, bool defaultCelsius);

    // A file's text as UTF-8: UTF-16 (either byte order) decoded when the file
    // starts with its byte-order mark; otherwise the bytes as they are when they are
    // valid UTF-8, else read as ISO Latin-1. `error` holds the system's reason when the file
    // could not be read at all, or says what to save instead when the file looks like
    // UTF-16 without a byte-order mark (then `text` is empty).
    struct FileText {
        QByteArray text;
        std::optional<QString> error;
    };
    static FileText loadFile(const QString& path);

    // loadFile() + readUtf8(). A file that cannot be read gives the one problem
    // "The file could not be read: " + the reason, on line 1.
    static ClimateImportResult readFile(const QString& path, const QList<Zone>& zones,
                                        std::optional<qint64> defaultZoneID, bool defaultCelsius,
                                        const QTimeZone& timeZone = QTimeZone::systemTimeZone(),
                                        const QDateTime& now = QDateTime::currentDateTimeUtc());

    // A whole import: the file is read against every zone of the store and its good
    // readings go, row by row as they are read, into one bulk import of the store
    // (OVStore::addReadingsFrom): one transaction, all or none; rows that already
    // have a reading of their zone in the same minute are counted as duplicates.
    // Memory stays near the file's own size however many rows it has, so the
    // result's `readings` stays empty; problems, columns and row count are as
    // readFile() gives them. Nothing is written, and the store's revision does not
    // move, when the file has no good rows. Throws the store's OVError (a refused
    // reading, a failed write, the write lock held too long), or std::bad_alloc
    // when memory runs out; nothing of the file is stored then.
    struct FileImport {
        ClimateImportResult result;
        qint64 added = 0;
        qint64 duplicates = 0;
    };
    static FileImport importFile(OVStore& store, const QString& path, std::optional<qint64> defaultZoneID,
                                 bool defaultCelsius, const QTimeZone& timeZone = QTimeZone::systemTimeZone(),
                                 const QDateTime& now = QDateTime::currentDateTimeUtc());
    // The same import of UTF-8 text already loaded, with the zones given (those a
    // preview of the text was read with, so the rows go to the zones it showed).
    // The hooks' onProblem and beforeRow work as for streamUtf8() (a beforeRow that
    // throws rolls the import back and its exception passes through); onReading is
    // not called: the readings go to the store.
    static FileImport importUtf8(OVStore& store, QByteArrayView text, const QList<Zone>& zones,
                                 std::optional<qint64> defaultZoneID, bool defaultCelsius, const Hooks& hooks = {},
                                 const QTimeZone& timeZone = QTimeZone::systemTimeZone(),
                                 const QDateTime& now = QDateTime::currentDateTimeUtc());
};
