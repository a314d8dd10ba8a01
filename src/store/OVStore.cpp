#include "store/OVStore.h"

#include "store/OVSchema.h"

#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace {

OVStore* sharedStore = nullptr;

const QString newerText =
    QStringLiteral("This database was made by a newer version of QNMR Orvane. Please update the app.");
const QString foreignText = QStringLiteral("This file is not a QNMR Orvane database.");

// What decides whether a file can be used, read in one statement so that both values
// come from the same moment even while another process is initialising the file.
struct HeaderLook {
    qint64 version = 0;
    qint64 tables = 0;
};

HeaderLook look(SQLiteDB& db)
{
    // A failing read is thrown: a file that is locked or unreadable must not pass for
    // an empty or a foreign one.
    const QList<SQLRow> rows = db.query(QStringLiteral(
        "SELECT (SELECT user_version FROM pragma_user_version) AS version, "
        "(SELECT count(*) FROM sqlite_master WHERE type = 'table') AS tables"));
    const SQLRow row = rows.value(0);
    return {row.intValue(QStringLiteral("version")).value_or(0),
            row.intValue(QStringLiteral("tables")).value_or(0)};
}

} // namespace

const QStringList OVStore::tables = {
    QStringLiteral("greenhouse"), QStringLiteral("zone"),     QStringLiteral("spot"),
    QStringLiteral("plant"),      QStringLiteral("photo"),    QStringLiteral("seed"),
    QStringLiteral("germ_test"),  QStringLiteral("reading"),  QStringLiteral("task"),
    QStringLiteral("task_log"),   QStringLiteral("pest"),     QStringLiteral("harvest"),
    QStringLiteral("ledger"),
};

QString OVStore::schemaSQL()
{
    return OVSchema::text();
}

OVStore::OVStore(const QString& path, QObject* parent)
    : OVStore(QUrl::fromLocalFile(path), parent)
{
}

OVStore::OVStore(const QUrl& url, QObject* parent) : QObject(parent), m_url(url)
{
    const QString file = url.toLocalFile();
    // Without a file name the engine would open a private temporary database whose
    // contents vanish at exit.
    if (file.isEmpty())
        throw OVError::database(QStringLiteral("could not open"));

    const std::filesystem::path folder =
        std::filesystem::path(QFile::encodeName(file).toStdString()).parent_path();
    if (!folder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error)
            throw OVError::file(QFileInfo(file).path(), error);
    }

    openConnection(file);
    migrate();
    useWriteAheadLog();
}

OVStore::~OVStore()
{
    if (sharedStore == this)
        sharedStore = nullptr;
}

OVStore* OVStore::shared()
{
    return sharedStore;
}

void OVStore::setShared(OVStore* store)
{
    sharedStore = store;
}

void OVStore::changed()
{
    ++m_revision;
    emit revisionChanged(m_revision);
}

void OVStore::openConnection(const QString& path)
{
    m_db = std::make_unique<SQLiteDB>(path);
    // Every commit reaches the disk before it counts as done, in either journal mode.
    m_db->exec(QStringLiteral("PRAGMA synchronous = FULL"));
}

void OVStore::useWriteAheadLog()
{
    // The mode is kept in the file's header, so this writes only to a file that is not
    // in it yet. Where the engine cannot make the -wal and -shm files (a folder that
    // cannot be written) or another process holds the file past the busy timeout, the
    // file stays in its rollback journal and works as it always did.
    try {
        m_db->exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    } catch (const OVError&) {
    }
}

void OVStore::migrate()
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        const HeaderLook file = look(*m_db);
        if (file.version >= 2)
            throw OVError::database(newerText);
        if (file.version != 0)
            return; // current (negative values included)
        if (file.tables != 0)
            throw OVError::database(foreignText);

        bool created = false;
        m_db->transaction([&] {
            // Another process may have initialised the file between the look above and
            // taking the write lock; then judge the file again instead of creating twice.
            const HeaderLook locked = look(*m_db);
            if (locked.version != 0 || locked.tables != 0)
                return;
            m_db->exec(schemaSQL());
            // The header belongs to the same transaction as the tables, so no crash can
            // leave tables without it.
            m_db->exec(QStringLiteral("PRAGMA application_id = ") + QString::number(applicationID));
            m_db->exec(QStringLiteral("PRAGMA user_version = ") + QString::number(schemaVersion));
            created = true;
        });
        if (created)
            return;
    }
    throw OVError::database(foreignText);
}
