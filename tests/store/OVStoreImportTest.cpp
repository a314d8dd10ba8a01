// Task completion and the bulk reading import: one transaction each, all or nothing.

#include "store/OVStore.h"

#include "StoreLayout.h"
#include "StoreTestSupport.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

using storetest::errorOf;
using storetest::StoreLayout;
using storetest::utc;

namespace {

Reading readingAt(qint64 zoneID, const QDateTime& taken, double humidity = 50.0)
{
    Reading r;
    r.zoneID = zoneID;
    r.taken = taken;
    r.values = {{Metric::humidity, humidity}};
    return r;
}

// Another process that takes a lock on the file (the write lock, or with `begin` a
// read transaction), tells the parent so, keeps it for `holdMs` and ends. Destroying
// the object waits for it; stop() ends it at once.
class LockHolder {
public:
    LockHolder(const QString& path, int holdMs, const QString& begin = QStringLiteral("BEGIN IMMEDIATE"))
    {
        int ready[2];
        if (pipe(ready) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            close(ready[0]);
            try {
                SQLiteDB db(path);
                db.exec(begin);
                const char go = 'g';
                if (write(ready[1], &go, 1) != 1)
                    _exit(4);
                usleep(useconds_t(holdMs) * 1000);
                db.exec(QStringLiteral("ROLLBACK"));
            } catch (...) {
                _exit(3);
            }
            _exit(0);
        }
        close(ready[1]);
        char go = 0;
        m_locked = m_pid > 0 && read(ready[0], &go, 1) == 1;
        close(ready[0]);
    }
    ~LockHolder()
    {
        if (m_pid > 0) {
            int status = 0;
            waitpid(m_pid, &status, 0);
        }
    }
    bool locked() const { return m_locked; }
    void stop()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            int status = 0;
            waitpid(m_pid, &status, 0);
            m_pid = -1;
        }
    }

private:
    pid_t m_pid = -1;
    bool m_locked = false;
};

} // namespace

TEST(OVStoreAddReadings, SameMinuteOfOneZoneIsADuplicate)
{
    StoreLayout s;
    Zone other;
    other.greenhouseID = s.house.id;
    other.name = QStringLiteral("Other");
    s->save(other);

    const OVStore::ImportCounts counts = s->addReadings({
        readingAt(s.zone.id, utc(2026, 6, 1, 7, 0, 10)),
        readingAt(s.zone.id, utc(2026, 6, 1, 7, 0, 50)),
        readingAt(s.zone.id, utc(2026, 6, 1, 7, 1, 0)),
        readingAt(other.id, utc(2026, 6, 1, 7, 0, 30)),
    });
    EXPECT_EQ(counts.added, 3);
    EXPECT_EQ(counts.duplicates, 1);
    // The stored instant keeps its seconds; only the test uses the whole minute.
    const QList<Reading> stored = s->readings(s.zone.id);
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored.last().taken, utc(2026, 6, 1, 7, 0, 10));
}

TEST(OVStoreAddReadings, MinutesBeforeNineteenSeventyBucketDownward)
{
    StoreLayout s;
    const OVStore::ImportCounts counts = s->addReadings({
        readingAt(s.zone.id, utc(1969, 12, 31, 23, 59, 59)),
        readingAt(s.zone.id, utc(1970, 1, 1, 0, 0, 0)),
        readingAt(s.zone.id, utc(1969, 12, 31, 23, 59, 1)),
    });
    EXPECT_EQ(counts.added, 2);
    EXPECT_EQ(counts.duplicates, 1);
}

TEST(OVStoreAddReadings, EmptyBatchStillAnnouncesAChange)
{
    StoreLayout s;
    const qint64 before = s->revision();
    const OVStore::ImportCounts counts = s->addReadings({});
    EXPECT_EQ(counts.added, 0);
    EXPECT_EQ(counts.duplicates, 0);
    EXPECT_EQ(s->revision(), before + 1);
}

TEST(OVStoreAddReadings, OneRefusalStoresNoneOfTheBatch)
{
    StoreLayout s;
    Zone doomed;
    doomed.greenhouseID = s.house.id;
    doomed.name = QStringLiteral("Doomed");
    s->save(doomed);
    s->remove<Zone>(doomed.id);
    const qint64 before = s->revision();

    const OVError e = errorOf([&] {
        s->addReadings({readingAt(s.zone.id, utc(2026, 6, 1, 7, 0, 0)),
                        readingAt(s.zone.id, utc(2026, 6, 1, 8, 0, 0)),
                        readingAt(doomed.id, utc(2026, 6, 1, 9, 0, 0))});
    });
    EXPECT_EQ(e, OVError::invalid(QStringLiteral("Choose the zone this reading is for.")));
    EXPECT_EQ(s->count(QStringLiteral("reading")), 0);
    EXPECT_EQ(s->revision(), before);

    Reading blank = readingAt(s.zone.id, utc(2026, 6, 1, 10, 0, 0));
    blank.values.clear();
    EXPECT_EQ(errorOf([&] { s->addReadings({readingAt(s.zone.id, utc(2026, 6, 1, 7, 0, 0)), blank}); }),
              OVError::invalid(QStringLiteral("Enter at least one reading.")));
    EXPECT_EQ(s->count(QStringLiteral("reading")), 0);
}

TEST(OVStoreAddReadings, FailingInsertRollsBackTheBatch)
{
    StoreLayout s;
    SQLiteDB(s.path()).exec(QStringLiteral(
        "CREATE TRIGGER no_notes BEFORE INSERT ON reading WHEN NEW.note <> '' BEGIN SELECT RAISE(ABORT, 'no notes'); END"));
    Reading noted = readingAt(s.zone.id, utc(2026, 6, 1, 9, 0, 0));
    noted.note = QStringLiteral("x");
    const OVError e = errorOf([&] { s->addReadings({readingAt(s.zone.id, utc(2026, 6, 1, 7, 0, 0)), noted}); });
    EXPECT_EQ(e, OVError::database(QStringLiteral("no notes")));
    EXPECT_EQ(s->count(QStringLiteral("reading")), 0);
}

TEST(OVStoreMarkDone, LastDoneOnlyMovesForward)
{
    StoreLayout s;
    OVTask task;
    s->save(task);
    const OVTask staleCopy = task;

    s->markDone(task, utc(2026, 6, 2, 8, 0, 0), QStringLiteral("first"));
    EXPECT_EQ(s->get<OVTask>(task.id)->lastDone, utc(2026, 6, 2, 8, 0, 0));

    // A late entry, handed over with a copy that never saw the first completion.
    const qint64 before = s->revision();
    s->markDone(staleCopy, utc(2026, 6, 1, 8, 0, 0), QStringLiteral("late"));
    EXPECT_EQ(s->revision(), before + 1);
    EXPECT_EQ(s->get<OVTask>(task.id)->lastDone, utc(2026, 6, 2, 8, 0, 0));
    const QList<TaskLog> history = s->taskLog(task.id);
    ASSERT_EQ(history.size(), 2);
    EXPECT_EQ(history[0].note, QStringLiteral("first"));
    EXPECT_EQ(history[1].note, QStringLiteral("late"));
    EXPECT_FALSE(staleCopy.lastDone.has_value()); // the caller's copy is untouched
}

TEST(OVStoreMarkDone, DeletedTaskIsNotFound)
{
    StoreLayout s;
    OVTask task;
    s->save(task);
    s->remove<OVTask>(task.id);
    const qint64 before = s->revision();
    EXPECT_EQ(errorOf([&] { s->markDone(task); }), OVError::notFound());
    EXPECT_EQ(s->count(QStringLiteral("task_log")), 0);
    EXPECT_EQ(s->revision(), before);
}

// Another process holds the write lock for 5 s: the completion waits out the 3 s busy
// timeout, fails with the engine's own text and writes nothing.
TEST(OVStoreMarkDone, WriteLockOfAnotherProcess)
{
    StoreLayout s;
    OVTask task;
    s->save(task);
    const qint64 before = s->revision();

    // Held far longer than the busy timeout, so a busy machine cannot make the lock
    // end first; the give-up comes from the timeout, long before the lock would end.
    LockHolder holder(s.path(), 30000);
    ASSERT_TRUE(holder.locked());
    QElapsedTimer clock;
    clock.start();
    const OVError e = errorOf([&] { s->markDone(task, utc(2026, 6, 1, 8, 0, 0)); });
    const qint64 waited = clock.elapsed();
    holder.stop();
    EXPECT_EQ(e, OVError::database(QStringLiteral("database is locked")));
    EXPECT_GE(waited, 2800);
    EXPECT_LT(waited, 20000);
    EXPECT_EQ(s->revision(), before);
    EXPECT_EQ(s->count(QStringLiteral("task_log")), 0);
    EXPECT_FALSE(s->get<OVTask>(task.id)->lastDone.has_value());
}

// A reader in another process (an export on a worker, another copy of the program)
// holds its snapshot for far longer than the busy timeout: a big import, which spills
// its page cache again and again, goes through meanwhile.
TEST(OVStoreAddReadings, ReaderOfAnotherProcessDoesNotHoldABigImportUp)
{
    StoreLayout s;
    QList<Reading> batch;
    batch.reserve(200000);
    const QDateTime start = utc(2026, 1, 1, 0, 0, 0);
    for (int i = 0; i < 200000; ++i) {
        Reading r = readingAt(s.zone.id, start.addSecs(60 * qint64(i)), 40 + i % 50);
        r.values[Metric::temp] = 60 + i % 20;
        r.note = QStringLiteral("logger row");
        batch.append(std::move(r));
    }
    const qint64 before = s->revision();

    LockHolder holder(s.path(), 30000, QStringLiteral("BEGIN; SELECT count(*) FROM reading"));
    ASSERT_TRUE(holder.locked());
    OVStore::ImportCounts counts;
    EXPECT_NO_THROW(counts = s->addReadings(batch));
    holder.stop();

    EXPECT_EQ(counts.added, 200000);
    EXPECT_EQ(s->revision(), before + 1);
    EXPECT_EQ(s->count(QStringLiteral("reading")), 200000);
}

TEST(OVStoreAddReadings, WriteLockOfAnotherConnection)
{
    StoreLayout s;
    SQLiteDB holder(s.path());
    holder.exec(QStringLiteral("BEGIN IMMEDIATE"));
    const OVError e = errorOf([&] { s->addReadings({readingAt(s.zone.id, utc(2026, 6, 1, 7, 0, 0))}); });
    holder.exec(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(e, OVError::database(QStringLiteral("database is locked")));
    EXPECT_EQ(s->count(QStringLiteral("reading")), 0);
}

// The streaming form is fed from one buffer that the source refills for every reading,
// as a file reader does; the same-minute rule must still see the earlier readings.
TEST(OVStoreAddReadingsFrom, RefilledBufferKeepsTheBatchRules)
{
    StoreLayout s;
    const QList<QDateTime> times = {utc(2026, 6, 1, 7, 0, 10), utc(2026, 6, 1, 7, 0, 50), utc(2026, 6, 1, 7, 1, 0),
                                    utc(2026, 6, 1, 7, 1, 59)};
    Reading buffer;
    qsizetype asked = 0;
    const auto source = [&]() -> const Reading* {
        if (asked == times.size()) {
            ++asked;
            return nullptr;
        }
        buffer = readingAt(s.zone.id, times[asked], 40.0 + double(asked));
        ++asked;
        return &buffer;
    };
    const qint64 before = s->revision();
    const OVStore::ImportCounts counts = s->addReadingsFrom(source);
    EXPECT_EQ(counts.added, 2);
    EXPECT_EQ(counts.duplicates, 2);
    EXPECT_EQ(asked, times.size() + 1); // read to the end, and no further
    EXPECT_EQ(s->revision(), before + 1);
    const QList<Reading> stored = s->readings(s.zone.id);
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[0].values.at(Metric::humidity), 42.0); // 07:01:00, not overwritten by 07:01:59
    EXPECT_EQ(stored[1].values.at(Metric::humidity), 40.0);
}

// A source that fails part-way (a file that turns unreadable, say) leaves nothing of
// the batch behind, and its own error reaches the caller unchanged.
TEST(OVStoreAddReadingsFrom, FailingSourceRollsBackTheBatch)
{
    StoreLayout s;
    Reading buffer;
    int n = 0;
    const qint64 before = s->revision();
    EXPECT_THROW(s->addReadingsFrom([&]() -> const Reading* {
        if (n == 3)
            throw std::runtime_error("source broke");
        buffer = readingAt(s.zone.id, utc(2026, 6, 1, 7, n++, 0));
        return &buffer;
    }),
                 std::runtime_error);
    EXPECT_EQ(s->count(QStringLiteral("reading")), 0);
    EXPECT_EQ(s->revision(), before);
    // The connection is usable afterwards: the transaction really ended.
    EXPECT_EQ(s->addReadings({readingAt(s.zone.id, utc(2026, 6, 1, 9, 0, 0))}).added, 1);
}

// The first refusal ends the batch: the source is not asked for more.
TEST(OVStoreAddReadingsFrom, RefusalStopsReadingTheSource)
{
    StoreLayout s;
    Reading buffer;
    int asked = 0;
    const OVError e = errorOf([&] {
        s->addReadingsFrom([&]() -> const Reading* {
            ++asked;
            buffer = readingAt(asked == 2 ? s.zone.id + 100 : s.zone.id, utc(2026, 6, 1, 7, asked, 0));
            return &buffer;
        });
    });
    EXPECT_EQ(e, OVError::invalid(QStringLiteral("Choose the zone this reading is for.")));
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(s->count(QStringLiteral("reading")), 0);
}

// Readings out of time order, before and after what the zone already holds: each one
// in an occupied minute is still found, whether that minute was filled before the
// batch or by it.
TEST(OVStoreAddReadings, OutOfOrderBatchFindsEveryDuplicate)
{
    StoreLayout s;
    s->addReadings({readingAt(s.zone.id, utc(2026, 6, 1, 7, 0, 30))});
    const OVStore::ImportCounts counts = s->addReadings({
        readingAt(s.zone.id, utc(2026, 6, 1, 8, 0, 0)),   // after everything stored
        readingAt(s.zone.id, utc(2026, 6, 1, 7, 0, 10)),  // the stored minute
        readingAt(s.zone.id, utc(2026, 6, 1, 8, 0, 40)),  // the minute added above
        readingAt(s.zone.id, utc(2026, 6, 1, 6, 59, 59)), // before everything stored
        readingAt(s.zone.id, utc(2026, 6, 1, 6, 59, 0)),  // the minute added just before
        readingAt(s.zone.id, utc(2026, 6, 1, 7, 30, 0)),  // a free minute in between
    });
    EXPECT_EQ(counts.added, 3);
    EXPECT_EQ(counts.duplicates, 3);
    EXPECT_EQ(s->count(QStringLiteral("reading")), 4);
}

// A damaged row whose time is text sorts after every number: it must not stand in
// for the zone's latest reading and hide an occupied minute.
TEST(OVStoreAddReadings, TextTimeInTheTableHidesNoDuplicate)
{
    StoreLayout s;
    s->addReadings({readingAt(s.zone.id, utc(2026, 6, 1, 7, 0, 30))});
    s->db().run(QStringLiteral("INSERT INTO reading (zone_id, taken, humidity, source, note) "
                               "VALUES (?, '0x10', 50, 'csv', '')"),
                {s.zone.id});
    const OVStore::ImportCounts counts = s->addReadings({readingAt(s.zone.id, utc(2026, 6, 1, 7, 0, 10))});
    EXPECT_EQ(counts.added, 0);
    EXPECT_EQ(counts.duplicates, 1);
}
