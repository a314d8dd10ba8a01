#pragma once
// The Today screen, the application's first: the welcome card while the store holds
// no greenhouse, four figure tiles, then two columns of cards — tasks due today or
// overdue and those coming this week on the left; the climate of every zone, the
// harvests expected within two weeks and the open problems on the right. Every row
// leads to its action (Done, Edit, Log harvest, Open, a zone's climate).
//
// The page (header, subtitle, buttons) is built once. Everything below it is built
// anew from one fresh TodaySummary on each rebuild: deferred and coalesced through
// OVRebuilder on the store's revision and the app model's signals, so one store
// change costs exactly one rebuild. Nothing is kept between rebuilds. "Now" is
// TaskClock::now(), the clock the task rows read as well.

#include "records/OVDay.h"

#include <QList>
#include <QWidget>

class AppModel;
class ClimateNowGrid;
class HarvestSoonRow;
class OVPage;
class OVRebuilder;
class OVStore;
class ProblemRow;
class QNChromeButton;
class StatTile;
class TaskRow;
class WelcomeCard;

class TodayView : public QWidget {
    Q_OBJECT
public:
    // Caps of the capped lists (the due-now list has none).
    static constexpr int upcomingLimit = 8;
    static constexpr int harvestLimit = 8;
    static constexpr int problemLimit = 6;

    // Over OVStore::shared(), which must be open, and AppModel::shared().
    explicit TodayView(QWidget* parent = nullptr);
    TodayView(OVStore& store, AppModel& model, QWidget* parent = nullptr);

    static QString subtitleFor(const QDateTime& now);

    OVPage* page() const { return m_page; }
    OVRebuilder* rebuilder() const { return m_rebuilder; }
    int rebuildCount() const;
    QNChromeButton* addReadingButton() const { return m_addReading; }
    QNChromeButton* addPlantButton() const { return m_addPlant; }

    // What the latest rebuild made.
    WelcomeCard* welcomeCard() const { return m_welcome; }
    const QList<StatTile*>& tiles() const { return m_tiles; }
    const QList<TaskRow*>& dueRows() const { return m_dueRows; }
    const QList<TaskRow*>& upcomingRows() const { return m_upcomingRows; }
    ClimateNowGrid* climateGrid() const { return m_climate; }
    const QList<HarvestSoonRow*>& harvestRows() const { return m_harvestRows; }
    const QList<ProblemRow*>& problemRows() const { return m_problemRows; }
    // The empty-list texts shown (the due list's empty block by its title).
    QStringList emptyTexts() const;

private:
    void rebuild();
    void addReading();

    OVStore& m_store;
    AppModel& m_model;
    OVPage* m_page = nullptr;
    OVRebuilder* m_rebuilder = nullptr;
    QNChromeButton* m_addReading = nullptr;
    QNChromeButton* m_addPlant = nullptr;

    QWidget* m_content = nullptr;
    WelcomeCard* m_welcome = nullptr;
    QList<StatTile*> m_tiles;
    QList<TaskRow*> m_dueRows;
    QList<TaskRow*> m_upcomingRows;
    ClimateNowGrid* m_climate = nullptr;
    QList<HarvestSoonRow*> m_harvestRows;
    QList<ProblemRow*> m_problemRows;
    QStringList m_emptyTexts;
};
