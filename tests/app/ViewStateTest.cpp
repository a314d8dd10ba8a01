// What the grower set on a screen outlives a zoom or theme change; re-picking the theme
// or zoom in use rebuilds nothing; sheets and notices opening do not rebuild screens.

#include "AppModelReset.h"
#include "TestSupport.h"
#include "app/AppWindow.h"
#include "app/MainWindow.h"
#include "app/OVSetup.h"
#include "app/ScreenHost.h"
#include "kit/KitEvents.h"
#include "kit/KitMetrics.h"
#include "kit/OVRebuilder.h"
#include "kit/OVThemeRoot.h"
#include "kit/QNChromeButton.h"
#include "kit/OVThemes.h"
#include "kit/QNMRHelpViewer.h"
#include "kit/QNMRThemeRoot.h"
#include "kit/QNMRThemes.h"
#include "kit/QNSearchField.h"
#include "kit/QNZoom.h"
#include "kit/QNZoomHost.h"
#include "kit/SegmentedPicker.h"
#include "records/OVPrefs.h"
#include "screens/climate/ClimateView.h"
#include "screens/greenhouses/GreenhousesView.h"
#include "screens/schedules/MonthCalendar.h"
#include "screens/today/TodayView.h"
#include "services/AppModel.h"
#include "services/SampleData.h"
#include "store/OVStore.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

void settle()
{
    for (int i = 0; i < 4; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Scroll places are set once the new layouts have settled.
    QTest::qWait(150);
    QApplication::processEvents();
}

void setZoom(double z)
{
    QNZoom::setValue(z);
    emit KitEvents::shared().zoomChanged();
    settle();
}

QAbstractScrollArea* pageScroll(QWidget* screen)
{
    for (auto* area : screen->findChildren<QAbstractScrollArea*>())
        if (area->isVisible() && area->verticalScrollBar()->maximum() > 0)
            return area;
    return nullptr;
}

bool ownEdit(const QLineEdit* edit)
{
    const QWidget* p = edit->parentWidget();
    return !qobject_cast<const QComboBox*>(p) && !qobject_cast<const QAbstractSpinBox*>(p) && !edit->isReadOnly();
}

// What the screen shows of the grower's choices, read control by control.
struct Seen {
    QStringList texts;
    QStringList choices;
    QList<int> segments;
    QStringList months;
    QList<bool> checks;
    QList<QDate> days;
    double scrollPoints = 0;
    friend bool operator==(const Seen&, const Seen&) = default;
};

std::ostream& operator<<(std::ostream& os, const Seen& s)
{
    return os << "texts=" << s.texts.join('|').toStdString() << " choices=" << s.choices.join('|').toStdString()
              << " segments=" << s.segments.size() << " months=" << s.months.join('|').toStdString()
              << " checks=" << s.checks.size() << " days=" << s.days.size() << " scroll=" << s.scrollPoints;
}

Seen seen(QWidget* screen)
{
    Seen s;
    for (auto* w : screen->findChildren<QWidget*>()) {
        if (auto* e = qobject_cast<QLineEdit*>(w); e && ownEdit(e))
            s.texts.append(e->text());
        else if (auto* c = qobject_cast<QComboBox*>(w))
            s.choices.append(c->currentText());
        else if (auto* p = qobject_cast<SegmentedPicker*>(w))
            s.segments.append(p->currentIndex());
        else if (auto* m = qobject_cast<MonthCalendar*>(w))
            s.months.append(m->title());
        else if (auto* d = qobject_cast<QDateEdit*>(w))
            s.days.append(d->date());
        else if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isCheckable() && !qobject_cast<QPushButton*>(w))
            s.checks.append(b->isChecked());
    }
    // Rounded to whole points: the place may land on the nearest pixel at another zoom.
    if (QAbstractScrollArea* area = pageScroll(screen))
        s.scrollPoints = std::round(area->verticalScrollBar()->value() / KitMetrics::zoom() / 2) * 2;
    return s;
}

// Changes every choice on the screen as a grower would: types, picks the last entry of
// each pop-up and segmented picker, moves the calendar on, flips each check, moves the
// picked days back, then scrolls down a little.
void change(QWidget* screen)
{
    for (auto* e : screen->findChildren<QLineEdit*>())
        if (ownEdit(e) && e->isVisible())
            QTest::keyClicks(e, QStringLiteral("a"));
    settle();
    for (auto* c : screen->findChildren<QComboBox*>()) {
        if (!c->isVisible() || c->count() < 2)
            continue;
        const int last = c->count() - 1;
        c->setCurrentIndex(last);
        emit c->activated(last);
    }
    for (auto* p : screen->findChildren<SegmentedPicker*>())
        if (p->isVisible())
            QTest::mouseClick(p, Qt::LeftButton, {}, p->segmentRect(p->count() - 1).center());
    for (auto* m : screen->findChildren<MonthCalendar*>())
        QTest::mouseClick(m->nextButton(), Qt::LeftButton);
    for (auto* b : screen->findChildren<QAbstractButton*>())
        if (b->isCheckable() && !qobject_cast<QPushButton*>(b) && b->isVisible())
            b->click();
    settle();
    for (auto* d : screen->findChildren<QDateEdit*>())
        if (d->isVisible())
            d->setDate(d->date().addDays(-3));
    settle();
    if (QAbstractScrollArea* area = pageScroll(screen))
        area->verticalScrollBar()->setValue(std::min(area->verticalScrollBar()->maximum(), 120));
    settle();
}

class ViewStateTest : public ::testing::TestWithParam<Screen::Value> {
protected:
    void SetUp() override
    {
        OVSetup::configure();
        OVPrefs::remove(QNMRThemes::key);
        OVPrefs::remove(QNZoom::key);
        store = std::make_unique<OVStore>(scratch.file(QStringLiteral("state.sqlite")));
        SampleData::add(*store);
        OVStore::setShared(store.get());
        AppModel& model = AppModel::shared();
        model.setScreen(Screen::today);
        testsupport::closeSheetAndAlerts(model);
        window = std::make_unique<AppWindow>();
        // Small enough that every screen's page scrolls.
        window->resize(1000, 620);
        window->show();
        QApplication::setActiveWindow(window.get());
        settle();
    }

    void TearDown() override
    {
        window.reset();
        settle();
        OVStore::setShared(nullptr);
        OVPrefs::remove(QNMRThemes::key);
        OVPrefs::remove(QNZoom::key);
        KitMetrics::setZoom(1.0);
    }

    QWidget* screen() const { return window->mainWindow()->screenHost()->current(); }

    testsupport::ScratchDir scratch;
    std::unique_ptr<OVStore> store;
    std::unique_ptr<AppWindow> window;
};

} // namespace

TEST_P(ViewStateTest, ChoicesAndScrollPlaceSurviveZoomAndTheme)
{
    AppModel::shared().setScreen(Screen(GetParam()));
    settle();
    const Seen fresh = seen(screen());
    change(screen());
    const Seen before = seen(screen());
    // The window's own scroll place (the content is larger than the window).
    window->zoomHost()->verticalScrollBar()->setValue(100);
    const auto windowPlace = [&] { return window->zoomHost()->verticalScrollBar()->value() / KitMetrics::zoom(); };
    ASSERT_EQ(windowPlace(), 100);
    const Screen s(GetParam());
    if (s != Screen::today && s != Screen::greenhouses && s != Screen::harvests && s != Screen::settings) {
        EXPECT_NE(before, fresh) << "the screen offers nothing to change";
    }

    QWidget* old = screen();
    setZoom(1.15);
    ASSERT_NE(screen(), old);
    EXPECT_EQ(seen(screen()), before) << "after the zoom change";
    EXPECT_NEAR(windowPlace(), 100, 1);

    old = screen();
    QNMRThemes::setCurrentID(OVThemes::cedarID);
    settle();
    ASSERT_NE(screen(), old);
    EXPECT_EQ(seen(screen()), before) << "after the theme change";
    EXPECT_NEAR(windowPlace(), 100, 1);
}

INSTANTIATE_TEST_SUITE_P(EveryScreen, ViewStateTest,
                         ::testing::Values(Screen::today, Screen::greenhouses, Screen::plants, Screen::seeds,
                                           Screen::harvests, Screen::climate, Screen::schedules,
                                           Screen::maintenance, Screen::pests, Screen::supplies, Screen::reports,
                                           Screen::library, Screen::videos, Screen::settings));

TEST_F(ViewStateTest, RePickingTheThemeOrZoomInUseRebuildsNothing)
{
    // A fresh install: nothing stored, the default theme shown.
    QMenuBar* bar = window->menuBar();
    QAction* current = nullptr;
    QAction* actualSize = nullptr;
    for (QAction* a : bar->findChildren<QAction*>()) {
        if (a->isCheckable() && a->data().toString() == QNMRThemes::current().id)
            current = a;
        if (a->text() == QStringLiteral("Actual Size (100%)"))
            actualSize = a;
    }
    ASSERT_TRUE(current && actualSize);
    QWidget* content = window->themeRoot()->content();
    current->trigger();
    actualSize->trigger();
    settle();
    EXPECT_EQ(window->themeRoot()->rebuildCount(), 0);
    EXPECT_EQ(window->zoomHost()->rebuildCount(), 0);
    EXPECT_EQ(window->themeRoot()->content(), content);

    // Another theme rebuilds once.
    QNMRThemes::setCurrentID(OVThemes::cedarID);
    QNMRThemes::setCurrentID(OVThemes::cedarID);
    settle();
    EXPECT_EQ(window->themeRoot()->rebuildCount(), 1);
}

TEST_F(ViewStateTest, SheetsQuestionsAndNoticesDoNotRebuildTodayOrGreenhouses)
{
    for (const Screen s : {Screen(Screen::today), Screen(Screen::greenhouses)}) {
        AppModel& model = AppModel::shared();
        model.setScreen(s);
        settle();
        OVRebuilder* rebuilder = s == Screen::today ? static_cast<TodayView*>(screen())->rebuilder()
                                                    : static_cast<GreenhousesView*>(screen())->rebuilder();
        const int before = rebuilder->rebuildCount();
        model.setMessage(QStringLiteral("Saved."));
        settle();
        model.setMessage(std::nullopt);
        settle();
        EXPECT_EQ(rebuilder->rebuildCount(), before) << s.title().toStdString();
        // A data change still does.
        Greenhouse house;
        house.name = QStringLiteral("Another");
        store->save(house);
        settle();
        EXPECT_GT(rebuilder->rebuildCount(), before) << s.title().toStdString();
    }
}

TEST_F(ViewStateTest, ClimateMetricPickerKeepsFocusAndDrawsFromNow)
{
    AppModel::shared().setScreen(Screen::climate);
    settle();
    auto* view = qobject_cast<ClimateView*>(screen());
    ASSERT_TRUE(view);
    SegmentedPicker* picker = view->metricPicker();
    picker->setFocus();
    settle();
    ASSERT_TRUE(picker->hasFocus());
    const QDateTime drawnFrom = *view->chartSince();
    QTest::qWait(20);
    const QDateTime pressed = QDateTime::currentDateTimeUtc();
    QTest::keyClick(picker, Qt::Key_Right);
    settle();
    EXPECT_EQ(picker->currentIndex(), 1);
    EXPECT_TRUE(picker->hasFocus());
    // The chart's period ends now, not at the last full drawing.
    ASSERT_TRUE(view->chartSince());
    EXPECT_GT(*view->chartSince(), drawnFrom);
    EXPECT_GE(*view->chartSince(), pressed.addDays(-7));
    QTest::keyClick(picker, Qt::Key_Right);
    settle();
    EXPECT_EQ(picker->currentIndex(), 2);

    // And across a zoom change, too.
    setZoom(1.15);
    auto* rebuilt = qobject_cast<ClimateView*>(screen());
    ASSERT_TRUE(rebuilt && rebuilt != view);
    EXPECT_EQ(rebuilt->metricPicker()->currentIndex(), 2);
    EXPECT_TRUE(rebuilt->metricPicker()->hasFocus());
}

TEST(HelpViewerState, SearchTopicAndScrollSurviveZoom)
{
    OVSetup::configure();
    OVPrefs::remove(QNZoom::key);
    KitMetrics::setZoom(1.0);
    QNMRThemeRoot root([] { return new QNMRHelpViewer(); });
    root.setAttribute(Qt::WA_DontShowOnScreen);
    root.resize(1000, 500);
    root.show();
    settle();
    auto* viewer = qobject_cast<QNMRHelpViewer*>(root.content());
    ASSERT_TRUE(viewer && viewer->listedIDs().size() > 2);
    const QString topic = viewer->listedIDs().at(2);
    viewer->showTopic(topic);
    viewer->setQuery(QStringLiteral("e"));
    settle();
    QAbstractScrollArea* pane = nullptr;
    for (auto* area : viewer->findChildren<QAbstractScrollArea*>())
        if (area->isAncestorOf(viewer->topicPane()))
            pane = area;
    ASSERT_TRUE(pane);
    pane->verticalScrollBar()->setValue(std::min(60, pane->verticalScrollBar()->maximum()));
    const int scrolled = pane->verticalScrollBar()->value();

    KitMetrics::setZoom(1.3);
    emit KitEvents::shared().zoomChanged();
    settle();
    auto* again = qobject_cast<QNMRHelpViewer*>(root.content());
    ASSERT_TRUE(again && again != viewer);
    EXPECT_EQ(again->query(), QStringLiteral("e"));
    EXPECT_EQ(again->shownTopicID(), topic);
    QAbstractScrollArea* newPane = nullptr;
    for (auto* area : again->findChildren<QAbstractScrollArea*>())
        if (area->isAncestorOf(again->topicPane()))
            newPane = area;
    ASSERT_TRUE(newPane);
    EXPECT_NEAR(newPane->verticalScrollBar()->value(), scrolled * 1.3, 1.0);
    EXPECT_EQ(root.rebuildCount(), 1);
    KitMetrics::setZoom(1.0);
}
