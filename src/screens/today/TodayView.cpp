#include "screens/today/TodayView.h"

#include "kit/DeferredSwap.h"
#include "kit/KitMetrics.h"
#include "kit/OVAddButton.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVEmpty.h"
#include "kit/OVLabel.h"
#include "kit/OVPage.h"
#include "kit/OVReadFailure.h"
#include "kit/OVRebuilder.h"
#include "kit/QNChromeButton.h"
#include "kit/TaskRow.h"
#include "records/OVFormat.h"
#include "screens/today/ClimateNowGrid.h"
#include "screens/today/HarvestSoonRow.h"
#include "screens/today/ProblemRow.h"
#include "screens/today/StatTile.h"
#include "screens/today/WelcomeCard.h"
#include "services/AppModel.h"
#include "services/TaskClock.h"
#include "services/TodaySummary.h"
#include "store/OVStore.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

const QString allCaughtUp = QStringLiteral("All caught up");
const QString nothingComing = QStringLiteral("Nothing else in the next 7 days.");
const QString noHarvests = QStringLiteral("No expected harvests in the next two weeks.");
const QString noProblems = QStringLiteral("No open problems.");

OVLabel* emptyLine(const QString& text)
{
    auto* label = new OVLabel(text, 12.5, QFont::Normal, OVColors().dim());
    label->setWrapping(true);
    label->setObjectName(QStringLiteral("emptyText"));
    return label;
}

QVBoxLayout* column()
{
    auto* stack = new QVBoxLayout;
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(KitMetrics::px(16));
    return stack;
}

} // namespace

TodayView::TodayView(QWidget* parent) : TodayView(*OVStore::shared(), AppModel::shared(), parent) {}

TodayView::TodayView(OVStore& store, AppModel& model, QWidget* parent)
    : QWidget(parent), m_store(store), m_model(model)
{
    auto* col = new QVBoxLayout(this);
    col->setContentsMargins(0, 0, 0, 0);
    m_page = new OVPage(Screen::today, subtitleFor(TaskClock::now()));
    col->addWidget(m_page);

    m_addReading = new QNChromeButton(QStringLiteral("Add Reading"));
    m_addReading->setSymbol(QStringLiteral("thermometer.medium"));
    m_addPlant = new OVAddButton(QStringLiteral("Add Plant"));
    m_page->addTrailing(m_addReading);
    m_page->addTrailing(m_addPlant);
    connect(m_addReading, &QPushButton::clicked, this, &TodayView::addReading);
    connect(m_addPlant, &QPushButton::clicked, this, [this] { m_model.setSheet(EditSheet(Plant())); });

    m_rebuilder = new OVRebuilder(this, [this] { rebuild(); });
    m_rebuilder->follow(m_store);
    // Data changes only: a sheet, question or notice opening or closing changes nothing shown here.
    connect(&m_model, &AppModel::climateZoneChanged, m_rebuilder, &OVRebuilder::schedule);
    m_rebuilder->rebuildNow();
}

QString TodayView::subtitleFor(const QDateTime& now)
{
    return OVFormat::day(now) + QStringLiteral(" · everything that needs you today");
}

int TodayView::rebuildCount() const
{
    return m_rebuilder->rebuildCount();
}

QStringList TodayView::emptyTexts() const
{
    return m_emptyTexts;
}

void TodayView::addReading()
{
    const QList<Zone> zones = m_store.zones(std::nullopt);
    Reading reading;
    reading.zoneID = zones.isEmpty() ? 0 : zones.first().id;
    reading.taken = TaskClock::now();
    reading.source = QStringLiteral("manual");
    m_model.setSheet(EditSheet(reading));
}

void TodayView::rebuild()
{
    const QDateTime now = TaskClock::now();
    const OVDay today = OVDay::today(now);
    const OVStore::ReadWatch reads(m_store);
    const TodaySummary summary(m_store, now);
    const OVColors colors;
    m_page->setSubtitle(subtitleFor(now));

    const auto forgetShown = [this] {
        m_welcome = nullptr;
        m_tiles.clear();
        m_dueRows.clear();
        m_upcomingRows.clear();
        m_harvestRows.clear();
        m_problemRows.clear();
        m_emptyTexts.clear();
    };
    forgetShown();

    auto* content = new QWidget;
    auto* stack = new QVBoxLayout(content);
    // The cards' shadows are painted by `content`, inside its own rectangle: the room
    // below keeps the lowest card's shadow whole, as the gap between cards does.
    stack->setContentsMargins(0, 0, 0, KitMetrics::px(16));
    stack->setSpacing(KitMetrics::px(16));

    if (m_store.greenhouses().isEmpty()) {
        m_welcome = new WelcomeCard(m_model);
        stack->addWidget(m_welcome);
    }

    // The figure tiles.
    auto* tileRow = new QHBoxLayout;
    tileRow->setContentsMargins(0, 0, 0, 0);
    tileRow->setSpacing(KitMetrics::px(12));
    const qsizetype due = summary.dueNow.size();
    const qsizetype alerts = summary.alerts.size();
    m_tiles = {
        new StatTile(QStringLiteral("Growing now"), QString::number(summary.activePlants), QStringLiteral("leaf.fill"),
                     OVColors::leaf()),
        new StatTile(QStringLiteral("Due today / overdue"), QString::number(due), QStringLiteral("checklist"),
                     due > 0 ? OVColors::warmLight() : OVColors::leaf()),
        new StatTile(QStringLiteral("Climate alerts now"), QString::number(alerts),
                     QStringLiteral("exclamationmark.triangle.fill"), alerts > 0 ? OVColors::alert() : OVColors::leaf()),
        new StatTile(QStringLiteral("Harvested this year"),
                     OVFormat::fixed(summary.poundsThisYear, 1) + QStringLiteral(" lb"), QStringLiteral("basket.fill"),
                     OVColors::warmLight()),
    };
    for (StatTile* tile : m_tiles)
        tileRow->addWidget(tile, 1, Qt::AlignVCenter);
    stack->addLayout(tileRow);

    // The two columns share the row's width.
    auto* columns = new QHBoxLayout;
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(KitMetrics::px(16));
    QVBoxLayout* left = column();
    QVBoxLayout* right = column();
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    stack->addLayout(columns);

    // Names are looked up once for all task rows of this rebuild.
    TaskRow::Names names;

    auto* dueCard = new OVCard(QStringLiteral("Due today and overdue"), QStringLiteral("checklist"));
    dueCard->setObjectName(QStringLiteral("dueCard"));
    if (summary.dueNow.isEmpty()) {
        dueCard->body()->addWidget(new OVEmpty(
            QStringLiteral("checkmark.seal"), allCaughtUp,
            QStringLiteral("Nothing is due today. Schedules and maintenance you add show up here.")));
        m_emptyTexts.append(allCaughtUp);
    }
    for (const DueItem& item : summary.dueNow) {
        auto* row = new TaskRow(item.task, item.due, true, m_store, m_model, nullptr, &names);
        dueCard->body()->addWidget(row);
        m_dueRows.append(row);
    }
    left->addWidget(dueCard);

    auto* upcomingCard = new OVCard(QStringLiteral("Coming up this week"), QStringLiteral("calendar"));
    upcomingCard->setObjectName(QStringLiteral("upcomingCard"));
    if (summary.upcoming.isEmpty()) {
        upcomingCard->body()->addWidget(emptyLine(nothingComing));
        m_emptyTexts.append(nothingComing);
    }
    for (qsizetype i = 0; i < summary.upcoming.size() && i < upcomingLimit; ++i) {
        const DueItem& item = summary.upcoming[i];
        auto* row = new TaskRow(item.task, item.due, true, m_store, m_model, nullptr, &names);
        upcomingCard->body()->addWidget(row);
        m_upcomingRows.append(row);
    }
    left->addWidget(upcomingCard);
    left->addStretch(1);

    auto* climateCard = new OVCard(QStringLiteral("Climate right now"), QStringLiteral("thermometer.sun.fill"));
    climateCard->setObjectName(QStringLiteral("climateCard"));
    m_climate = new ClimateNowGrid(m_store, m_model);
    climateCard->body()->addWidget(m_climate);
    right->addWidget(climateCard);

    auto* harvestCard = new OVCard(QStringLiteral("Harvests coming (next 14 days)"), QStringLiteral("basket.fill"));
    harvestCard->setObjectName(QStringLiteral("harvestCard"));
    if (summary.harvestSoon.isEmpty()) {
        harvestCard->body()->addWidget(emptyLine(noHarvests));
        m_emptyTexts.append(noHarvests);
    }
    for (qsizetype i = 0; i < summary.harvestSoon.size() && i < harvestLimit; ++i) {
        auto* row = new HarvestSoonRow(summary.harvestSoon[i], today, m_model);
        harvestCard->body()->addWidget(row);
        m_harvestRows.append(row);
    }
    right->addWidget(harvestCard);

    auto* problemCard = new OVCard(QStringLiteral("Open pest & disease problems"), QStringLiteral("ladybug.fill"));
    problemCard->setObjectName(QStringLiteral("problemCard"));
    if (summary.openPests.isEmpty()) {
        problemCard->body()->addWidget(emptyLine(noProblems));
        m_emptyTexts.append(noProblems);
    }
    for (qsizetype i = 0; i < summary.openPests.size() && i < problemLimit; ++i) {
        auto* row = new ProblemRow(summary.openPests[i], m_model);
        problemCard->body()->addWidget(row);
        m_problemRows.append(row);
    }
    right->addWidget(problemCard);
    right->addStretch(1);

    // Figures, "all caught up" and the welcome card would all be guesses after a
    // failed read: the page says what happened instead.
    if (reads.failed()) {
        delete content;
        forgetShown();
        m_climate = nullptr;
        content = new QWidget;
        auto* failed = new QVBoxLayout(content);
        failed->setContentsMargins(0, 0, 0, KitMetrics::px(16)); // the card's shadow
        auto* card = new OVCard;
        card->body()->addWidget(new OVReadFailure(reads.reason()));
        failed->addWidget(card);
    }

    // The old content may hold the button clicked (Done, the sample greenhouse).
    DeferredSwap::replace(m_page->content(), m_content, content);
}
