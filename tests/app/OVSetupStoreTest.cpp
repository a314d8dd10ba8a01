// Opening the store at start-up: the normal case, the dated fallback beside an
// unreadable file, and the case where neither opens.

#include "TestSupport.h"
#include "app/OVSetup.h"
#include "records/OVInfo.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

QByteArray sha256(const QString& path)
{
    return QCryptographicHash::hash(testsupport::readAll(path), QCryptographicHash::Sha256);
}

void runQueued()
{
    QCoreApplication::processEvents();
}

} // namespace

TEST(OVSetupOpenStore, GoodDatabaseOpensWithoutNotice)
{
    testsupport::ScratchDir scratch;
    const QString path = scratch.file(QStringLiteral("good.sqlite"));
    testsupport::EnvGuard db("OV_DB_PATH", path.toUtf8());
    AppModel::shared().setMessage(std::nullopt);

    QString failure;
    std::unique_ptr<OVStore> store = OVSetup::openStore(failure);
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(OVStore::shared(), store.get());
    EXPECT_EQ(store->path(), path);
    EXPECT_TRUE(failure.isEmpty());
    runQueued();
    EXPECT_FALSE(AppModel::shared().message().has_value());
}

TEST(OVSetupOpenStore, GarbageFileIsLeftAloneAndADatedStoreOpens)
{
    testsupport::ScratchDir scratch;
    const QString path = scratch.file(QStringLiteral("garbage.sqlite"));
    QByteArray noise(1024, '\0');
    QRandomGenerator generator(7);
    for (char& c : noise)
        c = char(generator.bounded(256));
    ASSERT_TRUE(testsupport::writeAll(path, noise));
    const QByteArray before = sha256(path);
    testsupport::EnvGuard db("OV_DB_PATH", path.toUtf8());
    AppModel::shared().setMessage(std::nullopt);

    QString failure;
    const OVDay today(2026, 12, 7);
    std::unique_ptr<OVStore> store = OVSetup::openStore(failure, today);
    ASSERT_NE(store, nullptr);
    EXPECT_TRUE(failure.isEmpty());
    EXPECT_EQ(sha256(path), before);
    const QString fallback = OVInfo::dataFolder() + "/Greenhouse (opened 2026-12-07).sqlite";
    EXPECT_EQ(store->path(), fallback);
    EXPECT_TRUE(QFile::exists(fallback));
    EXPECT_EQ(OVStore::shared(), store.get());

    // The notice arrives once the event loop runs, naming the file and the error.
    EXPECT_FALSE(AppModel::shared().message().has_value());
    runQueued();
    ASSERT_TRUE(AppModel::shared().message().has_value());
    const QString notice = *AppModel::shared().message();
    EXPECT_TRUE(notice.startsWith("Your greenhouse database could not be opened (")) << notice.toStdString();
    EXPECT_TRUE(notice.endsWith("). It was left untouched at " + path +
                                ". A new empty database was opened instead; restore a backup from Settings & Backup."))
        << notice.toStdString();
    AppModel::shared().setMessage(std::nullopt);
}

TEST(OVSetupOpenStore, NeitherOpensGivesFailureNamingBoth)
{
    testsupport::ScratchDir scratch;
    const QString path = scratch.file(QStringLiteral("garbage.sqlite"));
    ASSERT_TRUE(testsupport::writeAll(path, QByteArray(1024, 'x')));
    // A data folder below a plain file cannot be made, not even by root.
    ASSERT_TRUE(testsupport::writeAll(scratch.file(QStringLiteral("file")), "x"));
    testsupport::EnvGuard db("OV_DB_PATH", path.toUtf8());
    testsupport::EnvGuard data("XDG_DATA_HOME", scratch.file(QStringLiteral("file/below")).toUtf8());
    AppModel::shared().setMessage(std::nullopt);

    QString failure;
    std::unique_ptr<OVStore> store = OVSetup::openStore(failure, OVDay(2026, 12, 7));
    EXPECT_EQ(store, nullptr);
    EXPECT_TRUE(failure.contains(path)) << failure.toStdString();
    EXPECT_TRUE(failure.contains("Greenhouse (opened 2026-12-07).sqlite")) << failure.toStdString();
    EXPECT_TRUE(failure.contains("left untouched")) << failure.toStdString();
    runQueued();
    EXPECT_FALSE(AppModel::shared().message().has_value());
}
