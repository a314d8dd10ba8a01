// Every screen over a store whose reads fail: none may show its empty state (which
// would tell the grower that nothing is stored), each says that it could not read.

#include "AppModelReset.h"
#include "app/ScreenFactory.h"
#include "kit/OVEmpty.h"
#include "kit/OVReadFailure.h"
#include "kit/OVRebuilder.h"
#include "kit/QNChromeButton.h"
#include "records/OVPrefs.h"
#include "screens/greenhouses/GreenhouseCard.h"
#include "screens/greenhouses/GreenhousesView.h"
#include "screens/greenhouses/ZoneRow.h"
#include "services/AppModel.h"
#include "services/OVNotify.h"
#include "services/SampleData.h"
#include "services/Screen.h"
#include "store/OVStore.h"

#include "TestSupport.h"

#include <QCoreApplication>
#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// The empty states and "none" lines of every screen.
const QStringList emptyTexts = {
    QStringLiteral("No greenhouses yet"),
    QStringLiteral("No zones yet"),
    QStringLiteral("No readings in this period"),
    QStringLiteral("No plants yet"),
    QStringLiteral("No seed packets yet"),
    QStringLiteral("No problems logged"),
    QStringLiteral("No harvests yet"),
    QStringLiteral("No harvests logged this year yet."),
    QStringLiteral("No costs yet"),
    QStringLiteral("Nothing matches"),
    QStringLiteral("Nothing scheduled yet"),
    QStringLiteral("All caught up"),
    QStringLiteral("Nothing else in the next 7 days."),
    QStringLiteral("No expected harvests in the next two weeks."),
    QStringLiteral("No open problems."),
    QStringLiteral("No readings yet"),
    QStringLiteral("0 plants · 0 readings · 0 harvests · 0 photos"),
};

void settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The texts of the labels that would be on screen with `top`.
QStringList shownTexts(const QWidget* top)
{
    QStringList texts;
    for (const QLabel* label : top->findChildren<QLabel*>())
        if (label->isVisibleTo(top))
            texts << label->text();
    return texts;
}

class ScreensOverAFailingStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<OVStore>(dir.file(QStringLiteral("failing.sqlite")));
        OVStore::setShared(store.get());
        OVNotify::enabled = false;
        AppModel& model = AppModel::shared();
        testsupport::closeSheetAndAlerts(model);
        model.setClimateZoneID(std::nullopt);
    }

    void TearDown() override
    {
        OVStore::setShared(nullptr);
        store.reset();
    }

    // Builds every screen that shows stored records and checks what it says: the
    // reason, given in full or by its beginning.
    void expectNoScreenShowsItsEmptyState(const QString& reason = QStringLiteral("closed"))
    {
        for (const Screen screen : Screen::allCases()) {
            if (screen == Screen::library || screen == Screen::videos)
                continue; // the reference data, not the store
            SCOPED_TRACE(screen.title().toStdString());
            std::unique_ptr<QWidget> view(ScreenFactory::makeScreen(screen));
            settle();

            const QStringList texts = shownTexts(view.get());
            for (const QString& empty : emptyTexts) {
                EXPECT_FALSE(texts.contains(empty)) << empty.toStdString();
            }
            for (const OVEmpty* shown : view->findChildren<OVEmpty*>())
                EXPECT_TRUE(!shown->isVisibleTo(view.get()) || qobject_cast<const OVReadFailure*>(shown));
            const QString said = OVReadFailure::text(reason);
            EXPECT_TRUE(std::any_of(texts.begin(), texts.end(), [&](const QString& t) { return t.startsWith(said); }))
                << texts.join(QStringLiteral(" | ")).toStdString();
        }
    }

    testsupport::ScratchDir dir;
    std::unique_ptr<OVStore> store;
};

TEST_F(ScreensOverAFailingStore, AnEmptyStoreThatCannotBeReadIsNotShownAsEmpty)
{
    store->db().close();
    expectNoScreenShowsItsEmptyState();
}

TEST_F(ScreensOverAFailingStore, AFullStoreThatCannotBeReadIsNotShownAsEmpty)
{
    SampleData::add(*store);
    store->db().close();
    expectNoScreenShowsItsEmptyState();
}

// The connection stays open, but another program took every table away: each read
// fails in the engine, with the engine's own message.
TEST_F(ScreensOverAFailingStore, AStoreWhoseTablesAreGoneIsNotShownAsEmpty)
{
    SampleData::add(*store);
    {
        SQLiteDB other(store->path());
        other.exec(QStringLiteral("PRAGMA foreign_keys = OFF"));
        for (const QString& table : OVStore::tables)
            other.exec(QStringLiteral("DROP TABLE ") + table);
    }
    expectNoScreenShowsItsEmptyState(QStringLiteral("no such table: "));
}

TEST_F(ScreensOverAFailingStore, AScreenThatLosesItsStoreSaysSoAtTheNextDrawing)
{
    SampleData::add(*store);
    GreenhousesView view;
    ASSERT_FALSE(view.cards().isEmpty());
    store->db().close();
    view.rebuilder()->rebuildNow();
    settle();
    EXPECT_TRUE(view.cards().isEmpty());
    EXPECT_NE(view.list()->findChild<OVReadFailure*>(), nullptr);
    EXPECT_EQ(view.list()->findChild<QWidget*>(QStringLiteral("emptyCard")), nullptr);
}

// A delete question must say how many readings go with the zone or greenhouse; a
// count that fails is not turned into "0 climate reading(s)".
TEST_F(ScreensOverAFailingStore, ADeleteQuestionThatCannotCountIsNotAsked)
{
    SampleData::add(*store);
    GreenhousesView view;
    ASSERT_FALSE(view.cards().isEmpty());
    GreenhouseCard* card = view.cards().first();
    ASSERT_FALSE(card->zoneRows().isEmpty());
    ZoneRow* row = card->zoneRows().first();
    store->db().close();

    AppModel& model = AppModel::shared();
    row->deleteButton()->click();
    EXPECT_FALSE(model.confirm().has_value());
    ASSERT_TRUE(model.message().has_value());
    EXPECT_EQ(*model.message(), QStringLiteral("Nothing was deleted: could not read your data: closed."));

    model.setMessage(std::nullopt);
    card->deleteButton()->click();
    EXPECT_FALSE(model.confirm().has_value());
    ASSERT_TRUE(model.message().has_value());
    EXPECT_EQ(*model.message(), QStringLiteral("Nothing was deleted: could not read your data: closed."));
}

} // namespace
