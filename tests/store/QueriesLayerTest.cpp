// Queries live in the store: every other layer asks OVStore by a named operation,
// so table and column names, the time encoding and the handling of failed reads
// are written once.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

QString sourceRoot() { return QDir(QStringLiteral(ORVANE_SOURCE_DATA_DIR "/../src")).absolutePath(); }

// SQL as it appears in C++ sources: a statement's opening words inside a string
// literal, a condition or order fragment handed to a generic fetch, or the engine's
// own interface.
const QList<QRegularExpression>& sqlPatterns()
{
    static const QList<QRegularExpression> patterns = {
        QRegularExpression(QStringLiteral(R"(#\s*include\s*[<"]sqlite3\.h[>"])")),
        QRegularExpression(QStringLiteral(R"(\bsqlite3_\w+\s*\()")),
        QRegularExpression(QStringLiteral(R"("[^"\n]*\b(SELECT|INSERT\s+INTO|UPDATE\s+\w+\s+SET|DELETE\s+FROM|)"
                                          R"(CREATE\s+TABLE|DROP\s+TABLE|PRAGMA|ORDER\s+BY|GROUP\s+BY|WHERE)\b)")),
        QRegularExpression(QStringLiteral(R"("[^"\n]*\b\w+\s*(=|>=|<=|<|>)\s*\?)")),
        QRegularExpression(QStringLiteral(R"(\bfetch\s*<\s*\w+\s*>\s*\(\s*QString(Literal)?\s*\(\s*")")),
        QRegularExpression(QStringLiteral(R"(\.db\s*\(\s*\)\s*\.\s*(query|exec|run|scalarInt|prepare|handle)\b)")),
    };
    return patterns;
}

// Every match of the patterns in `text`, as "line: text".
QStringList sqlIn(const QString& text)
{
    QStringList found;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.startsWith(QStringLiteral("//")))
            continue; // a comment may speak of a query
        for (const QRegularExpression& pattern : sqlPatterns())
            if (pattern.match(line).hasMatch())
                found << QString::number(i + 1) + QStringLiteral(": ") + line;
    }
    return found;
}

// The one statement allowed elsewhere: the self-check makes another program's
// database (its own table and header) to prove that a restore refuses it. It reads
// nothing of ours.
bool isForeignFixture(const QString& relative, const QString& hit)
{
    return relative == QStringLiteral("modes/SelfTestBackup.cpp") &&
           hit.contains(QStringLiteral("CREATE TABLE notes(x); PRAGMA application_id = 12345"));
}

} // namespace

TEST(QueriesLayer, TheDetectorFindsEachKindOfQuery)
{
    EXPECT_FALSE(sqlIn(QStringLiteral("#include <sqlite3.h>")).isEmpty());
    EXPECT_FALSE(sqlIn(QStringLiteral("sqlite3_prepare_v2(handle, sql, -1, &st, nullptr);")).isEmpty());
    EXPECT_FALSE(sqlIn(QStringLiteral("db.query(QStringLiteral(\"SELECT count(*) FROM reading\"));")).isEmpty());
    EXPECT_FALSE(sqlIn(QStringLiteral("order + QStringLiteral(\" ORDER BY taken DESC\")")).isEmpty());
    EXPECT_FALSE(sqlIn(QStringLiteral("fetch<Harvest>(QStringLiteral(\"date >= ? AND date <= ?\"), args)")).isEmpty());
    EXPECT_FALSE(sqlIn(QStringLiteral("fetch<PestRecord>(QStringLiteral(\"resolved = 0\"))")).isEmpty());
    EXPECT_FALSE(sqlIn(QStringLiteral("m_store.db().scalarInt(sql)")).isEmpty());
    // Words a grower reads are not queries.
    EXPECT_TRUE(sqlIn(QStringLiteral("QStringLiteral(\"Select a zone where the readings belong.\")")).isEmpty());
    EXPECT_TRUE(sqlIn(QStringLiteral("// SELECT in a comment")).isEmpty());
    EXPECT_TRUE(sqlIn(QStringLiteral("store.fetch<Photo>();")).isEmpty());
}

TEST(QueriesLayer, NoFileOutsideTheStoreWritesSQL)
{
    const QString root = sourceRoot();
    int files = 0;
    QDirIterator it(root, {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString relative = QDir(root).relativeFilePath(path);
        if (relative.startsWith(QStringLiteral("store/")))
            continue;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << relative.toStdString();
        ++files;
        for (const QString& hit : sqlIn(QString::fromUtf8(file.readAll()))) {
            if (!isForeignFixture(relative, hit))
                ADD_FAILURE() << relative.toStdString() << ":" << hit.toStdString();
        }
    }
    EXPECT_GT(files, 300); // the whole tree was looked at
}
