#pragma once
// The persistent store: one object over the one SQLite file that holds every record.
// It keeps no records in memory; callers query it whenever they draw.
//
// Invariants:
//   - An open store's file is initialised: user_version 1 (or, accepted as current,
//     any value below 1 other than 0) and, when this store created it, the thirteen
//     tables, the index and application_id 1331057201. A file that holds tables but
//     has user_version 0 (foreign) or user_version 2 or more (newer) is refused and
//     left byte for byte as it was.
//   - A new file gets its schema and both header fields in ONE transaction, so a crash
//     at any moment leaves either an empty file (made anew at the next opening) or a
//     complete one, never tables without the header that a later opening would
//     refuse as foreign.
//   - revision starts at 0 in every store object and rises by exactly one per
//     changed(); it is never stored. Every successful write calls changed() once; a
//     write that throws leaves revision as it was.
//   - An accepted file is kept in write-ahead-log mode (-wal and -shm beside it while
//     it is open) with every commit synced in full: a reader never waits for a writer
//     and a writer never waits for readers, so a worker's long read (an export, a
//     backup) and the window's saves, or a worker's import and the window's reads, go
//     on side by side; a long read sees one unchanging snapshot. The switch happens
//     only after the file was accepted, so a refused file is never written.
//   - All calls come from the main thread; the store has no lock. Other connections
//     and processes may use the same file: writers wait for each other through BEGIN
//     IMMEDIATE transactions, and no operation waits longer than the 3 s busy timeout
//     in total, however many lock attempts it makes; then it fails with "database is
//     locked", writing nothing.
//   - While the store is open the process never opens the database or its side
//     files (-journal, -wal, -shm) outside the engine: closing any descriptor of a
//     file drops every POSIX lock the process holds on it, the engine's included, and
//     the next program to close the database would then take the log with it.

#include "store/OVError.h"
#include "store/OVRecordTypes.h"
#include "store/SQLiteDB.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <system_error>

class OVStore : public QObject {
    Q_OBJECT
    Q_PROPERTY(qint64 revision READ revision NOTIFY revisionChanged)

public:
    // "OVR1" read big-endian; written into the header of every new database.
    static constexpr qint64 applicationID = 0x4F565231;
    // The schema version kept in the header field user_version.
    static constexpr qint64 schemaVersion = 1;
    // The thirteen tables in their fixed order (content digest, backup inspection).
    static const QStringList tables;
    // The whole schema text, executed once in a new, empty file.
    static QString schemaSQL();

    // Creates the folder (OVError::file with the system's text when it cannot), opens
    // or creates the file, and accepts, refuses or initialises it (OVError::database).
    explicit OVStore(const QUrl& url, QObject* parent = nullptr);
    explicit OVStore(const QString& path, QObject* parent = nullptr);
    ~OVStore() override;

    // The store that screens, editors and commands use. Not owned: whoever assigns a
    // store keeps it alive while it is shared (a destroyed store unshares itself).
    static OVStore* shared();
    static void setShared(OVStore* store);

    qint64 revision() const { return m_revision; }
    const QUrl& url() const { return m_url; }
    QString path() const { return m_url.toLocalFile(); }
    // Whether `file` is the database or one of its side files, under any name it can
    // be reached by (links included). Found by name and inode, never by opening it: a
    // file the grower picks is asked about before it is read.
    bool isOwnFile(const QString& file) const;
    // Whether the file with this device and inode number (from fstat of a descriptor
    // the caller holds) is the database or one of its side files.
    bool isOwnFile(quint64 device, quint64 inode) const;
    // The one open connection (replaced as a whole by a restore).
    SQLiteDB& db() { return *m_db; }

public slots:
    // revision += 1, announced through revisionChanged.
    void changed();

signals:
    void revisionChanged(qint64 revision);

    // =====================================================================================
    // Record operations, task completion, bulk import, backup and restore. Each group
    // is defined in the source file named in its heading; the templates over record
    // types live in OVStoreTemplates.h, included at the end of this file.
public:

    // ---- Streaming reads (OVStoreStream.cpp) ----
    // Hands every reading of one zone to `each`, oldest first (ties: lower id first),
    // one row at a time: memory stays the same however many readings the zone holds.
    // `each` returns false to stop early. Returns false when the query failed (handed
    // to the ReadWatches) or was stopped, true after the last reading. Never throws
    // (apart from what `each` throws, which is passed on after the statement is
    // released).
    bool eachReading(qint64 zoneID, const std::function<bool(const Reading&)>& each) const;

    // ---- Generic record operations (templates in OVStoreTemplates.h) ----
    // Runs the record's prepare() with this store, then inserts it (id 0: the new row
    // id is written back) or updates the row with its id, which must exist
    // (OVError::notFound otherwise; a record never picks its own id). Throws the
    // validation error, notFound or database; nothing is written on a throw.
    template <typename T>
    void save(T& record);
    // Deletes the row with that id; dependent rows follow the schema's ON DELETE
    // rules. An id that matches no row succeeds. Throws OVError::database.
    template <typename T>
    void remove(qint64 id);
    // "SELECT * FROM <table> [WHERE <where>] ORDER BY <order>". The where and order
    // texts are pasted in as they are; only values travel as arguments. Never
    // throws: a failing query gives an empty list (and is handed to the ReadWatches).
    template <typename T>
    QList<T> fetch(const QString& where = QString(), const SQLArgs& args = {},
                   const QString& order = QStringLiteral("id")) const;
    // The record with that id; nothing for an absent id (no query runs) or no row.
    template <typename T>
    std::optional<T> get(std::optional<qint64> id) const;
    // Rows of one of the thirteen tables; 0 when the count fails. Any other name
    // throws OVError::database before a statement is built from it.
    qint64 count(const QString& table) const;

    // ---- Named queries (OVStoreRecords.cpp); none throws ----
    // A failing query reads as nothing; a screen that must tell "none" from "could
    // not read" builds under a ReadWatch, which hears of every failure.
    QList<Greenhouse> greenhouses() const;
    // Every zone (nullopt) or the zones of one greenhouse.
    QList<Zone> zones(std::optional<qint64> greenhouseID = std::nullopt) const;
    QList<Spot> spots(qint64 zoneID) const;
    QList<Spot> allSpots() const;
    QList<Plant> plants() const;
    QList<Seed> seeds() const;
    QList<GermTest> germTests(qint64 seedID) const;
    // Every packet's tests in one query, each list in germTests() order.
    QHash<qint64, QList<GermTest>> germTestsBySeed() const;
    // Newest first (ties: higher id first), at most `limit`, taken at or after `since`.
    QList<Reading> readings(qint64 zoneID, std::optional<QDateTime> since = std::nullopt,
                            qint64 limit = 5000) const;
    std::optional<Reading> latestReading(qint64 zoneID) const;
    QList<OVTask> tasks() const;
    QList<TaskLog> taskLog(qint64 taskID) const;
    QList<PestRecord> pests() const;
    QList<Harvest> harvests() const;
    QList<LedgerEntry> ledger() const;
    QList<Photo> photos(qint64 plantID) const;
    // Counted without loading the image bytes.
    qint64 photoCount(qint64 plantID) const;
    // "Greenhouse · Zone", the zone's name alone when its greenhouse is missing or
    // unnamed, "" for no zone.
    QString zoneName(std::optional<qint64> zoneID) const;
    // The plant's greenhouse, zone and "Bed 1"/"Bench B1" that still exist, joined
    // with " · "; "" when none.
    QString locationText(const Plant& plant) const;

    // ---- Report sums (OVStoreReports.cpp); none throws ----
    // Harvests and ledger entries summed per crop inside the engine, so a report over
    // every year reads one row per crop instead of every record. Rows are read the
    // way a fetch reads them (a damaged date counts as today, an unknown unit as lb,
    // an unreadable number as the record's default) and crops are joined by
    // cropKey(). Days are inclusive; an absent end is open. Every sum is added up in
    // the order a loop over the record lists would add it, so it equals that loop's
    // to the last bit.
    struct CropYield {
        QString crop;              // the text of the crop's first harvest by (day, id)
        int harvests = 0;
        double pounds = 0;         // weighed harvests, in pounds, added up by (day, id)
        double count = 0;          // counted harvests' quantities
        OVDay first;
        OVDay last;
    };
    struct CropCost {
        QString key;               // cropKey()
        QString crop;              // the first harvest's text, else the first entry's (harvests() and ledger() order)
        int harvests = 0;
        double pounds = 0;         // weighed harvests only, added up in harvests() order
        double cost = 0;           // added up in ledger() order
    };
    struct ReportSums {
        // One row per crop, in the order of each crop's first harvest by (day, id).
        QList<CropYield> yield;
        // The crops with a harvest, in yield's order, then those with costs only.
        QList<CropCost> costs;
        double sharedCost = 0;     // the entries without a crop
        double totalCost = 0;
        double totalPounds = 0;
        int totalHarvests = 0;
    };
    ReportSums reportSums(const std::optional<OVDay>& from, const std::optional<OVDay>& to) const;

    // The dashboard's figures without loading every plant or harvest, read as a fetch
    // reads the rows: plants whose status counts as active; the weight in pounds of
    // the harvests harvestsBetween() gives for `year` that read as dated in it, added
    // up in that list's order;
    // and the plants not finished or failed whose expected harvest day is set, in
    // plants() order (a set day that does not read as one is the caller's to drop).
    qint64 activePlantCount() const;
    double poundsHarvestedIn(qint64 year) const;
    QList<Plant> unfinishedPlantsWithHarvestDay() const;

    // ---- Reads for the screens (OVStoreReads.cpp) ----
    // Counts, chart points and the capped or dated lists the screens show. Unlike the
    // named queries above, each throws OVError::database when the read fails, so a
    // screen can say that it could not read instead of showing nothing or a 0.
    //
    // Readings of one zone, taken at or after `since` when given.
    qint64 readingCount(qint64 zoneID, std::optional<QDateTime> since = std::nullopt) const;
    // Readings of every zone of one greenhouse.
    qint64 greenhouseReadingCount(qint64 greenhouseID) const;
    // Photos per plant id; plants without photos are absent. Image bytes stay unread.
    QHash<qint64, qint64> photoCounts() const;
    // The newest `limit` harvests or cost entries (order as harvests() and ledger()).
    QList<Harvest> newestHarvests(qint64 limit) const;
    QList<LedgerEntry> newestLedger(qint64 limit) const;
    // Those dated from `first` to `last`, both included, newest first.
    QList<Harvest> harvestsBetween(const OVDay& first, const OVDay& last) const;
    QList<LedgerEntry> ledgerBetween(const OVDay& first, const OVDay& last) const;
    // Pest records not yet resolved, newest observed first.
    QList<PestRecord> openPests() const;
    // The time and one metric's stored value (temperatures in °F) of the newest
    // `limit` readings of a zone taken at or after `since`, newest first (ties: higher
    // id first): the rows readings() gives, without building whole records. A reading
    // without the metric takes its place in the limit but gives no point.
    // (OVStoreStream.cpp)
    struct MetricPoint {
        QDateTime taken;
        double value = 0;
    };
    QList<MetricPoint> metricPoints(qint64 zoneID, Metric metric, const std::optional<QDateTime>& since,
                                    qint64 limit) const;

    // Notes every read of this store that fails while it lives, the never-throwing
    // queries above included, which read a failure as "nothing". A screen builds under
    // one and can then tell "there is none" from "the data could not be read".
    class ReadWatch {
    public:
        explicit ReadWatch(const OVStore& store);
        ~ReadWatch();
        ReadWatch(const ReadWatch&) = delete;
        ReadWatch& operator=(const ReadWatch&) = delete;

        bool failed() const { return m_failure.has_value(); }
        // The first failure's own text (for example the engine's message).
        QString reason() const;
        // Runs a read that throws; an OVError it throws is noted and the read gives
        // the empty value of its type.
        template <typename Read>
        auto read(Read&& body) const -> decltype(body())
        {
            try {
                return body();
            } catch (const OVError& error) {
                note(error);
                return {};
            }
        }

    private:
        friend class OVStore;
        void note(const OVError& error) const;

        const OVStore& m_store;
        mutable std::optional<OVError> m_failure;
    };

    // Holds one read transaction on this store's connection while it lives (defined
    // in OVStoreStream.cpp): every read under it sees the file as it stood at the
    // first of them, whatever other connections commit meanwhile, so a long export
    // gives tables that agree with each other. In the write-ahead log it neither waits
    // for a writer nor holds one up. Where a transaction is already open (or the
    // connection is closed) it does nothing; the reads then fail or succeed as they
    // would without it. Nothing may be written on this connection while it lives.
    class ReadSnapshot {
    public:
        explicit ReadSnapshot(const OVStore& store);
        ~ReadSnapshot();
        ReadSnapshot(const ReadSnapshot&) = delete;
        ReadSnapshot& operator=(const ReadSnapshot&) = delete;

    private:
        SQLiteDB& m_db;
        bool m_open = false;
    };

    // ---- Task completion and bulk reading import (OVStoreImport.cpp) ----
    struct ImportCounts {
        qint64 added = 0;
        qint64 duplicates = 0;
    };
    // Adds a completion to the task's history and moves its last-done instant forward
    // (never back) in one transaction. Only the task's id is used: the stored row is
    // reloaded. Throws OVError::notFound or OVError::database; nothing written then.
    void markDone(const OVTask& task, const QDateTime& at = QDateTime::currentDateTimeUtc(),
                  const QString& note = QString());
    // Stores a batch of readings all at once or not at all. Each is validated; the
    // first refusal throws and rolls back the whole batch. A reading whose zone already
    // holds one in the same clock minute (UTC minutes since 1970) is skipped as a
    // duplicate, also when that one came earlier in the same batch. changed() once,
    // also for an empty batch.
    ImportCounts addReadings(const QList<Reading>& readings);
    // The same import for batches too large to hold as a list: `next` hands over one
    // reading at a time and nullptr after the last. The reading it points to needs to
    // stay valid only until `next` is called again, so a source can refill one buffer.
    // Everything `next` hands over is one batch with the rules above (validation,
    // same-minute duplicates also within the batch, all or nothing, changed() once).
    // Whatever `next` throws rolls the batch back and is passed on. `next` must not
    // write to this store.
    ImportCounts addReadingsFrom(const std::function<const Reading*()>& next);

    // ---- Content digest (OVStoreDigest.cpp) ----
    // SHA-256 over every row of every table (in table order, rows by id, columns by
    // name), as 64 lower-case hex digits. Photo bytes are hashed, not only their
    // length. A table that cannot be read adds nothing. Never throws.
    QString digest() const;

    // ---- Backup, inspection and restore (OVStoreBackup.cpp) ----
    // Writes a complete, consistent copy of the open database to `url`. The copy is
    // made beside the target under a temporary name and only then renamed over it,
    // so an existing file at `url` stays whole until the new copy is complete; a
    // failed copy leaves nothing behind. The open database and its side files are
    // refused as targets (OVError::invalid). Throws OVError::database from the copy,
    // OVError::file when the copy cannot be put in place.
    void backup(const QUrl& url);
    // Opens a candidate backup read-only and as untrusted input, and returns the row
    // count of each of the thirteen tables. Refuses with OVError::badBackup and the
    // first reason that applies. Never changes the file.
    static QMap<QString, qint64> inspectBackup(const QUrl& url);
    // inspectBackup() for a restore into the database at `databasePath`: the open
    // database itself (or one of its side files) is refused first.
    static QMap<QString, qint64> inspectForRestore(const QString& databasePath, const QUrl& url);
    // Replaces the store's data with an inspected backup and returns the safety copy
    // ("Before restore <now as yyyy-MM-dd HHmmss>.sqlite" beside the database, with
    // " (2)", " (3)", ... when taken). The database file is swapped by one atomic
    // rename, so a crash at any moment leaves either the old or the new data in
    // place. Any failure after the swap puts the previous file back and reopens it;
    // only then does the error say "Your data was left as it was.". While any other
    // connection, of this process or another, has the database open (reading,
    // writing or idle), nothing is swapped: OVError::database says the database is
    // still in use, and the store goes on with its file as it was.
    QUrl restore(const QUrl& url, const QDateTime& now = QDateTime::currentDateTime());
    // Throws the refusal above while another connection, of any process, has read the
    // database (the lock check of the swap, asked without keeping the lock). A
    // restore asks it first, so a refused one writes no safety copy; one that has
    // only opened the file is still seen at the swap. A store whose connection is
    // closed (a reopen failed) is refused with "closed" instead.
    void refuseRestoreWhileInUse();
    // restore() in two halves, so the slow one can run on a worker thread while the
    // window keeps painting. prepareRestore() needs no store object: it inspects the
    // backup, writes the safety copy of the database at `databasePath` through
    // `connection` (or a read-only connection of its own when none is given), copies
    // the backup beside the database and inspects that copy. finishRestore() swaps
    // the copy in on the store's own thread, exactly as restore() does; when the store
    // was written after `revisionAtStart` it takes a fresh safety copy first, under the
    // next free name; the earlier one stays (the fresh one is returned).
    // dropRestore() removes a prepared copy that will not be used.
    struct RestorePlan {
        QString safety;
        QString incoming;
        QString id;
        QDateTime now;
    };
    static RestorePlan prepareRestore(const QString& databasePath, const QUrl& url, const QDateTime& now,
                                      SQLiteDB* connection = nullptr);
    QUrl finishRestore(const RestorePlan& plan, qint64 revisionAtStart);
    static void dropRestore(const RestorePlan& plan);
    // Removes what a killed backup or restore left in the database's folder: our own
    // temporary copies (".ovbackup-<uuid>.tmp", "restore-<uuid>.sqlite", their side
    // files and "restore-<uuid>.previous"), whatever their age. Run once at start-up,
    // after the single-instance check and before the store opens, when no other copy
    // of the program can be using them. A backup tidies its own target folder itself
    // (only our names, only files older than an hour).
    static void removeStaleTemporaryFiles(const QString& folder);
    // The rename that puts a finished copy in place (backup target, restore swap and
    // its undo). Tests replace it to make the swap fail or to stop the process there.
    static std::function<std::error_code(const QString& from, const QString& to)> renameFile;
    // The sync that forces a finished copy's bytes to the disk before that rename.
    // It opens the file it syncs, so it is only ever given our own new copies.
    // Tests replace it to see that it runs, and what a failing sync leaves.
    static std::function<std::error_code(const QString& path)> syncFile;
    // =====================================================================================

private:
    // Hands a failed read to every ReadWatch alive on this store.
    void readFailed(const OVError& error) const;
    // fetch() that throws OVError::database when the query fails.
    template <typename T>
    QList<T> fetchOrThrow(const QString& where, const SQLArgs& args, const QString& order) const;
    // A query whose failure is handed to the watches and thrown.
    QList<SQLRow> queryOrThrow(const QString& sql, const SQLArgs& args = {}) const;
    // The single integer a count query gives; throws when the query fails.
    qint64 countOf(const QString& sql, const SQLArgs& args = {}) const;
    // The same count with a failure noted and read as 0.
    qint64 countOrZero(const QString& sql, const SQLArgs& args = {}) const;

    // Accepts a current file, refuses a foreign or newer one, initialises an empty one.
    // Also run by a restore on the reopened connection.
    void migrate();
    // Makes a new read-write connection on `path` the store's connection.
    void openConnection(const QString& path);
    // Opens the file at `live` again after a restore let go of it, as it is: nothing
    // is created or migrated. Returns why it could not be opened, or nothing.
    QString reopenAsItIs(const QString& live);
    // Puts the accepted file in write-ahead-log mode; where that cannot be done the
    // file keeps its rollback journal (never an error).
    void useWriteAheadLog();

    qint64 m_revision = 0;
    std::unique_ptr<SQLiteDB> m_db;
    QUrl m_url;
    mutable QList<const ReadWatch*> m_readWatches;
};

#include "store/OVStoreTemplates.h"
