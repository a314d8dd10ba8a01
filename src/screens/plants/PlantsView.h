#pragma once
// The Plants & Crops screen: every planting of the store, narrowed by a search box, a
// status filter ("Planned & growing" at first) and a greenhouse filter, with Export
// CSV and Add Plant in the header.
//
// The page, its header and its filter bar are built once; only the list part is
// rebuilt, coalesced, after every store change. Rows are kept by plant id and reused
// while their plant, place, photo count and day are unchanged, so a rebuild or a
// keystroke on a long list touches only what changed. The filters live as long as
// the screen and are saved nowhere. The export always writes every plant.

#include "screens/plants/PlantFilter.h"
#include "screens/plants/PlantRow.h"

#include <QHash>
#include <QList>
#include <QWidget>

class AppModel;
class OVCard;
class OVLabel;
class OVPage;
class OVRebuilder;
class OVStore;
class PlantListBox;
class QComboBox;
class QNSearchField;
class QVBoxLayout;

class PlantsView : public QWidget {
    Q_OBJECT
public:
    // On OVStore::shared() (which must be open) and AppModel::shared().
    explicit PlantsView(QWidget* parent = nullptr);
    PlantsView(OVStore& store, AppModel& model, QWidget* parent = nullptr);

    const PlantFilter& filter() const { return m_filter; }
    void setSearch(const QString& text);
    // "active", "all" or a status's raw text.
    void setStatusFilter(const QString& status);
    void setGreenhouseFilter(std::optional<qint64> greenhouseID);

    // The header buttons' actions.
    void exportCSV();
    void addPlant();

    // Rebuilds the list part now.
    void rebuild();
    OVRebuilder* rebuilder() const { return m_rebuilder; }

    // For tests and benchmarks: what the screen shows.
    QList<PlantRow*> rows() const;
    QString countText() const;
    // The empty state's title, "" while rows are listed.
    QString emptyTitle() const { return m_emptyTitle; }
    QNSearchField* searchField() const { return m_search; }
    QComboBox* statusPicker() const { return m_status; }
    QComboBox* greenhousePicker() const { return m_greenhouse; }

private:
    void fillGreenhouses();
    // With `failed`, the message is the reason the list could not be read.
    void showEmpty(const QString& title, const QString& message, bool failed = false);

    OVStore& m_store;
    AppModel& m_model;
    PlantFilter m_filter;
    OVPage* m_page = nullptr;
    QNSearchField* m_search = nullptr;
    QComboBox* m_status = nullptr;
    QComboBox* m_greenhouse = nullptr;
    OVLabel* m_count = nullptr;
    OVCard* m_card = nullptr;
    QWidget* m_empty = nullptr;
    QString m_emptyTitle;
    PlantListBox* m_list = nullptr;
    QHash<qint64, PlantRow*> m_rows;
    QList<PlantRow*> m_shown;
    QList<QPair<qint64, QString>> m_greenhouseRows;
    // The plants and their row facts as last read, with the store revision they were
    // read at: a filter change between two store changes filters them again without
    // reading the store.
    QList<Plant> m_plants;
    QHash<qint64, PlantRow::Facts> m_facts;
    std::optional<qint64> m_readAt;
    QString m_readFailure; // what the last read said when it failed
    OVRebuilder* m_rebuilder = nullptr;
};
