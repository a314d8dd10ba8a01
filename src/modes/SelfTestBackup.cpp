#include "modes/SelfTestBackup.h"

#include "modes/SelfTestErrors.h"

#include "modes/SelfTestStore.h"

#include "modes/SelfTestImage.h"
#include "services/SampleData.h"
#include "store/OVStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <memory>

namespace OVSelfTest {

namespace {

QUrl fileIn(const QString& folder, const QString& name)
{
    return QUrl::fromLocalFile(folder + QLatin1Char('/') + name);
}


} // namespace

void backupTests(OVTestRun& run, const QString& folder)
{
    run.begin(QStringLiteral("Backup and restore"));

    const QString dir = folder + QStringLiteral("/backup-test");
    QDir().mkpath(dir);

    const std::unique_ptr<OVStore> owned = openGroupStore(run, dir, QStringLiteral("Greenhouse.sqlite"));
    if (!owned)
        return;
    OVStore& store = *owned;

    try {
        SampleData::add(store, QDateTime::currentDateTimeUtc());
    } catch (const std::exception& error) {
        run.check(false, QStringLiteral("sample data: ") + errorText(error));
        return;
    }

    try {
        const QList<Plant> plants = store.plants();
        Photo photo;
        photo.plantID = plants.isEmpty() ? 0 : plants.first().id;
        photo.data = testImageData();
        photo.caption = QStringLiteral("x");
        photo.added = QDateTime::currentDateTimeUtc();
        store.save(photo);
    } catch (...) {
        // A later check shows what is missing.
    }
    const QString firstDigest = store.digest();
    QList<qint64> counts;
    qint64 total = 0;
    for (const QString& table : OVStore::tables) {
        counts.append(store.count(table));
        total += counts.last();
    }

    const QUrl backupURL = fileIn(dir, QStringLiteral("My backup.ovbackup"));
    try {
        store.backup(backupURL);
        run.check(true, QStringLiteral("backup written"));
    } catch (const std::exception& error) {
        run.check(false, QStringLiteral("backup: ") + errorText(error));
    }

    bool countsMatch = false;
    try {
        const QMap<QString, qint64> found = OVStore::inspectBackup(backupURL);
        countsMatch = true;
        for (qsizetype i = 0; i < OVStore::tables.size(); ++i)
            countsMatch = countsMatch && found.value(OVStore::tables[i], -1) == counts[i];
    } catch (...) {
        countsMatch = false;
    }
    run.check(countsMatch, QStringLiteral("backup holds every record (counts match: ") + QString::number(total) +
                               QStringLiteral(" records)"));

    try {
        const QList<Greenhouse> greenhouses = store.greenhouses();
        if (!greenhouses.isEmpty())
            store.remove<Greenhouse>(greenhouses.first().id);
    } catch (...) {
    }
    for (const Harvest& harvest : store.harvests()) {
        try {
            store.remove<Harvest>(harvest.id);
        } catch (...) {
        }
    }
    run.check(store.digest() != firstDigest, QStringLiteral("records changed after the backup"));

    try {
        const QUrl safety = store.restore(backupURL);
        run.check(store.digest() == firstDigest,
                  QStringLiteral("restore brings back exactly the backed-up records (fingerprint matches)"));

        const QString safetyPath = safety.toLocalFile();
        bool saved = false;
        if (QFileInfo::exists(safetyPath)) {
            try {
                const QMap<QString, qint64> found = OVStore::inspectBackup(safety);
                saved = !found.isEmpty() && found.contains(QStringLiteral("greenhouse")) &&
                        found.value(QStringLiteral("greenhouse")) == 0;
            } catch (...) {
                saved = false;
            }
        }
        run.check(saved, QStringLiteral("the records from before the restore were saved first (") +
                             QFileInfo(safetyPath).fileName() + QLatin1Char(')'));

        run.check(store.plants().size() == 3 && store.count(QStringLiteral("photo")) == 1,
                  QStringLiteral("store works normally after the restore (3 plants, 1 photo)"));
    } catch (const std::exception& error) {
        run.check(false, QStringLiteral("restore: ") + errorText(error));
    }

    const QUrl textFile = fileIn(dir, QStringLiteral("not a backup.ovbackup"));
    {
        QSaveFile file(textFile.toLocalFile());
        if (file.open(QIODevice::WriteOnly)) {
            file.write(QByteArrayLiteral("hello, this is not a database"));
            file.commit();
        }
    }
    const QString refusalDigest = store.digest();

    try {
        store.restore(textFile);
        run.check(false, QStringLiteral("a text file is refused"));
    } catch (const OVError& error) {
        run.check(error.kind() == OVError::Kind::badBackup,
                  QStringLiteral("a text file is refused with a clear message"));
    } catch (...) {
        run.check(false, QStringLiteral("a text file is refused with a clear message"));
    }

    const QString otherPath = dir + QStringLiteral("/other.sqlite");
    try {
        SQLiteDB other(otherPath, false);
        try {
            other.exec(QStringLiteral("CREATE TABLE notes(x); PRAGMA application_id = 12345"));
        } catch (...) {
        }
        other.close();
    } catch (...) {
        // Left unmade; the restore below is still tried.
    }
    try {
        store.restore(QUrl::fromLocalFile(otherPath));
        run.check(false, QStringLiteral("another app's database is refused"));
    } catch (const std::exception& error) {
        run.check(errorText(error).contains(QStringLiteral("not made by QNMR Orvane")),
                  QStringLiteral("another app's database is refused"));
    }

    try {
        store.restore(fileIn(dir, QStringLiteral("missing.ovbackup")));
        run.check(false, QStringLiteral("missing file refused"));
    } catch (...) {
        run.check(true, QStringLiteral("a missing file is refused"));
    }

    run.check(store.digest() == refusalDigest, QStringLiteral("refused restores change nothing"));
}

} // namespace OVSelfTest
