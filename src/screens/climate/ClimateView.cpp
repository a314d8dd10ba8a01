#include "screens/climate/ClimateView.h"

#include "kit/HeaderActions.h"
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
#include "screens/climate/ClimateChart.h"
#include "screens/climate/ManualEntryBanner.h"
#include "screens/climate/ReadingRow.h"
#include "kit/SegmentedPicker.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

struct Period {
    const char* title;
    int days;
};
constexpr Period periods[] = {{"7 days", 7}, {"30 days", 30}, {"90 days", 90}, {"All", 0}};

} // namespace

const QString ClimateView::subtitle = QStringLiteral(
    "Temperature, humidity, light, CO₂ and soil readings for each zone, with charts and the alert ranges you set.");

ClimateView::ClimateView(QWidget* parent) : ClimateView(*OVStore::shared(), AppModel::shared(), parent) {}

ClimateView::ClimateView(OVStore& store, AppModel& model, QWidget* parent)
    : QWidget(parent), m_store(store), m_model(model)
{
    build();
    m_rebuilder = new OVRebuilder(this, [this] {
        if (m_fullPending || !m_zone)
            rebuild();
        else
            rebuildChartCard();
        m_fullPending = false;
    });
    auto full = [this] {
        m_fullPending = true;
        m_rebuilder->schedule();
    };
    connect(&m_store, &OVStore::revisionChanged, this, full);
    connect(&m_model, &AppModel::climateZoneChanged, this, full);
    m_rebuilder->rebuildNow();
}

QString ClimateView::moreNote(qint64 count)
{
    return QStringLiteral("Showing the newest %1 of %2. Export CSV to see them all.").arg(listedReadings).arg(count);
}

QString ClimateView::chartTitle(Metric metric, int days)
{
    return metric.name() + QStringLiteral(" — ")
        + (days > 0 ? QStringLiteral("last %1 days").arg(days) : QStringLiteral("all readings"));
}

QString ClimateView::noteText() const { return m_note ? m_note->text() : QString(); }

void ClimateView::setMetric(Metric metric)
{
    m_metric = metric;
    m_metricPicker->setCurrentIndex(int(Metric::Case(metric)));
    m_rebuilder->schedule();
}

void ClimateView::setDays(int days)
{
    m_days = days;
    for (int i = 0; i < m_periodBox->count(); ++i)
        if (m_periodBox->itemData(i).toInt() == days) {
            const QSignalBlocker blocker(m_periodBox);
            m_periodBox->setCurrentIndex(i);
        }
    m_fullPending = true;
    m_rebuilder->schedule();
}

void ClimateView::build()
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_page = new OVPage(Screen::climate, subtitle);
    outer->addWidget(m_page);

    // Header controls, 8 points apart.
    m_import = new QNChromeButton(QStringLiteral("Import CSV…"));
    m_import->setSymbol(QStringLiteral("square.and.arrow.down"));
    m_import->setAutoDefault(false);
    // A readings table that could not be read whole is never offered as an export:
    // the unfinished file is dropped and the read failure said.
    const HeaderActions::Buttons header =
        HeaderActions::add(m_page, m_store, 3, QStringLiteral("Add Reading"), {m_import});
    m_export = header.exportButton;
    m_add = header.addButton;
    connect(m_import, &QPushButton::clicked, this, [this] { m_model.setSheet(EditSheet::importCSV(m_zoneID)); });
    connect(m_add, &QPushButton::clicked, this, [this] {
        Reading reading;
        reading.zoneID = m_zoneID.value_or(0);
        reading.taken = QDateTime::currentDateTimeUtc();
        m_model.setSheet(EditSheet(reading));
    });

    m_page->content()->addWidget(new ManualEntryBanner);

    // Zone row: the picker with its label (320 points in all), then "Alert Ranges…".
    m_zoneRow = new QWidget;
    auto* zoneRow = new QHBoxLayout(m_zoneRow);
    zoneRow->setContentsMargins(0, 0, 0, 0);
    zoneRow->setSpacing(KitMetrics::px(10));
    auto* zoneField = new QWidget;
    zoneField->setFixedWidth(KitMetrics::px(320));
    auto* zoneFieldRow = new QHBoxLayout(zoneField);
    zoneFieldRow->setContentsMargins(0, 0, 0, 0);
    zoneFieldRow->setSpacing(KitMetrics::px(8));
    zoneFieldRow->addWidget(new OVLabel(QStringLiteral("Zone"), 13, QFont::Medium));
    m_zoneBox = new QComboBox;
    m_zoneBox->setFont(KitMetrics::font(13));
    zoneFieldRow->addWidget(m_zoneBox, 1);
    zoneRow->addWidget(zoneField);
    m_alertRanges = new QNChromeButton(QStringLiteral("Alert Ranges…"), false, true);
    zoneRow->addWidget(m_alertRanges);
    zoneRow->addStretch(1);
    m_page->content()->addWidget(m_zoneRow);

    connect(m_zoneBox, &QComboBox::activated, this, [this](int index) {
        m_model.setClimateZoneID(m_zoneBox->itemData(index).toLongLong());
    });
    connect(m_alertRanges, &QPushButton::clicked, this, [this] {
        if (m_zone)
            m_model.setSheet(EditSheet(*m_zone));
    });

    // The chart card's pickers live on across drawings; each new card takes them in.
    m_pickers = new QWidget(this);
    m_pickers->hide();
    auto* pickers = new QHBoxLayout(m_pickers);
    pickers->setContentsMargins(0, 0, 0, 0);
    pickers->setSpacing(KitMetrics::px(12));
    QStringList shorts;
    for (const Metric& m : Metric::allCases())
        shorts.append(m.shortName());
    m_metricPicker = new SegmentedPicker(shorts);
    pickers->addWidget(m_metricPicker);
    m_periodBox = new QComboBox;
    m_periodBox->setFont(KitMetrics::font(13));
    m_periodBox->setFixedWidth(KitMetrics::px(110));
    for (const Period& period : periods)
        m_periodBox->addItem(QString::fromUtf8(period.title), period.days);
    m_periodBox->setCurrentIndex(0);
    pickers->addWidget(m_periodBox);
    pickers->addStretch(1);

    connect(m_metricPicker, &SegmentedPicker::activated, this,
            [this](int index) { setMetric(Metric::allCases()[size_t(index)]); });
    connect(m_periodBox, &QComboBox::activated, this,
            [this](int index) { setDays(m_periodBox->itemData(index).toInt()); });

    auto* cards = new QWidget;
    m_cards = new QVBoxLayout(cards);
    m_cards->setContentsMargins(0, 0, 0, 0);
    m_cards->setSpacing(KitMetrics::px(16));
    m_page->content()->addWidget(cards);
}

void ClimateView::clearCards()
{
    // The pickers are kept: they leave the card before it goes.
    m_pickers->hide();
    m_pickers->setParent(this);
    while (QLayoutItem* item = m_cards->takeAt(0)) {
        if (QWidget* w = item->widget()) {
            w->hide();
            w->deleteLater();
        }
        delete item;
    }
    m_chartCard = nullptr;
    m_chart = nullptr;
    m_listCard = nullptr;
    m_rows.clear();
    m_note = nullptr;
    m_noZones = false;
    m_noReadings = false;
}

void ClimateView::rebuild()
{
    clearCards();
    const OVStore::ReadWatch reads(m_store);
    const QList<Zone> zones = m_store.zones();

    // The zone shown: the app model's while it exists, else the first.
    m_zone.reset();
    const std::optional<qint64> wanted = m_model.climateZoneID();
    for (const Zone& zone : zones)
        if (wanted && zone.id == *wanted)
            m_zone = zone;
    if (!m_zone && !zones.isEmpty())
        m_zone = zones.first();
    m_zoneID = m_zone ? std::optional<qint64>(m_zone->id) : std::nullopt;

    if (!m_zone) {
        m_zoneRow->hide();
        m_listed.clear();
        auto* card = new OVCard;
        if (reads.failed()) {
            card->body()->addWidget(new OVReadFailure(reads.reason()));
        } else {
            card->body()->addWidget(new OVEmpty(QStringLiteral("thermometer.medium"), QStringLiteral("No zones yet"),
                                                QStringLiteral("Readings belong to a zone. Add a greenhouse and a "
                                                               "zone first (Greenhouses screen).")));
            m_noZones = true;
        }
        m_cards->addWidget(card);
        return;
    }

    {
        const QSignalBlocker blocker(m_zoneBox);
        m_zoneBox->clear();
        for (const Zone& zone : zones) {
            m_zoneBox->addItem(m_store.zoneName(zone.id), zone.id);
            if (zone.id == m_zone->id)
                m_zoneBox->setCurrentIndex(m_zoneBox->count() - 1);
        }
    }
    m_zoneRow->show();

    std::optional<QDateTime> since;
    if (m_days > 0)
        since = QDateTime::currentDateTimeUtc().addSecs(-qint64(m_days) * 86400);
    m_since = since;
    // One more than the list shows tells whether the note is needed.
    m_listed = m_store.readings(m_zone->id, since, listedReadings + 1);

    rebuildChartCard();

    auto* list = new OVCard(QStringLiteral("Readings"), QStringLiteral("list.bullet.rectangle"));
    if (reads.failed()) {
        list->body()->addWidget(new OVReadFailure(reads.reason()));
    } else if (m_listed.isEmpty()) {
        list->body()->addWidget(new OVEmpty(QStringLiteral("thermometer.medium"),
                                            QStringLiteral("No readings in this period"),
                                            QStringLiteral("Add a reading by hand or import a CSV file from your "
                                                           "data logger.")));
        m_noReadings = true;
    }
    const int shown = std::min(int(m_listed.size()), listedReadings);
    for (int i = 0; i < shown; ++i) {
        auto* row = new ReadingRow(m_listed[i], *m_zone, m_model);
        list->body()->addWidget(row);
        m_rows.append(row);
    }
    if (m_listed.size() > listedReadings) {
        const qint64 count = reads.read([&] { return m_store.readingCount(m_zone->id, since); });
        // Without the real count the note would have to guess it.
        const QString note = reads.failed() ? OVReadFailure::text(reads.reason())
                                            : moreNote(std::max<qint64>(count, m_listed.size()));
        m_note = new OVLabel(note, 12, QFont::Normal, OVColors().dim());
        m_note->setWrapping(true);
        list->body()->addWidget(m_note);
    }
    m_listCard = list;
    m_cards->addWidget(list);
}

void ClimateView::rebuildChartCard()
{
    if (!m_zone)
        return;
    // The picker the grower is arrowing through keeps the keyboard while its card is
    // replaced.
    QWidget* focused = QApplication::focusWidget();
    if (!m_pickers->isAncestorOf(focused))
        focused = nullptr;
    // A metric switch draws the period up to now, not up to the last full drawing.
    if (m_days > 0)
        m_since = QDateTime::currentDateTimeUtc().addSecs(-qint64(m_days) * 86400);
    int at = 0;
    if (m_chartCard) {
        at = m_cards->indexOf(m_chartCard);
        m_pickers->hide();
        m_pickers->setParent(this);
        m_cards->removeWidget(m_chartCard);
        m_chartCard->hide();
        m_chartCard->deleteLater();
    }
    m_chartTitle = chartTitle(m_metric, m_days);
    m_chartCard = new OVCard(m_chartTitle, QStringLiteral("chart.xyaxis.line"));
    m_chartCard->body()->setSpacing(KitMetrics::px(16));
    m_chartCard->body()->addWidget(m_pickers);
    m_pickers->show();

    std::optional<MetricRange> range;
    if (const auto found = m_zone->limits.find(m_metric); found != m_zone->limits.end())
        range = found->second;
    const OVStore::ReadWatch reads(m_store);
    const QList<OVStore::MetricPoint> stored = reads.read(
        [&] { return m_store.metricPoints(m_zone->id, m_metric, m_since, chartedReadings); });
    QList<ClimateChart::Point> points;
    points.reserve(stored.size());
    for (const OVStore::MetricPoint& point : stored)
        points.append(ClimateChart::Point{point.taken, point.value});
    m_chart = new ClimateChart(points, m_metric, range);
    if (reads.failed())
        m_chart->sayReadFailure(reads.reason());
    m_chart->setFixedHeight(KitMetrics::px(230));
    m_chartCard->body()->addWidget(m_chart);
    m_cards->insertWidget(std::max(at, 0), m_chartCard);
    if (focused && isVisible()) {
        m_chartCard->show();
        focused->setFocus(Qt::OtherFocusReason);
    }
}
