#include "screens/schedules/TaskEditor.h"

#include "kit/KitMetrics.h"
#include "kit/OVCard.h"
#include "kit/OVColors.h"
#include "kit/OVDayPicker.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVField.h"
#include "kit/OVLabel.h"
#include "kit/OVStepper.h"
#include "kit/OVTextArea.h"
#include "kit/OVTextField.h"
#include "kit/PlantPicker.h"
#include "kit/QNChromeButton.h"
#include "kit/ZonePicker.h"
#include "records/Calendar.h"
#include "records/MaintenanceCategory.h"
#include "records/OVFormat.h"
#include "records/OVPrefs.h"
#include "screens/schedules/ToggleChip.h"
#include "services/AppModel.h"
#include "services/OVNotify.h"
#include "services/Schedule.h"
#include "services/TaskClock.h"
#include "store/OVStore.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace {

constexpr int everyMax = 365;
constexpr int dayMax = 31;

QHBoxLayout* makeRow(double spacing)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(KitMetrics::px(spacing));
    return row;
}

const QStringList& ruleTitles()
{
    static const QStringList titles = {QStringLiteral("Once"),         QStringLiteral("Every N days"),
                                       QStringLiteral("Weekly"),       QStringLiteral("Monthly on a day"),
                                       QStringLiteral("Monthly, last day"), QStringLiteral("Yearly")};
    return titles;
}

} // namespace

const QStringList& TaskEditor::ruleKinds()
{
    static const QStringList kinds = {QStringLiteral("once"),     QStringLiteral("days"),
                                      QStringLiteral("weeks"),    QStringLiteral("monthday"),
                                      QStringLiteral("monthlast"), QStringLiteral("yearly")};
    return kinds;
}

TaskEditor::TaskEditor(const OVTask& item, OVStore& store, QWidget* parent)
    : OVRecordEditor(store, QString(), item.kind.symbol(), 680, parent), m_item(item),
      m_time(TaskClock::now().toLocalTime().time())
{
    m_time = QTime(m_time.hour(), m_time.minute());
    buildForm();
    load();
}

void TaskEditor::buildForm()
{
    const OVColors colors;
    frame()->setTitle(title());
    QVBoxLayout* form = this->form();

    // Type and category.
    auto* typeRow = makeRow(12);
    m_type = new QComboBox;
    m_type->setFixedWidth(KitMetrics::px(200));
    for (const TaskKind kind : TaskKind::allCases())
        m_type->addItem(kind.name(), kind.rawValue());
    m_type->setAccessibleName(QStringLiteral("Type"));
    typeRow->addWidget(new OVField(QStringLiteral("Type"), m_type));
    m_category = new QComboBox;
    m_category->setFixedWidth(KitMetrics::px(260));
    for (const MaintenanceCategory category : MaintenanceCategory::allCases())
        m_category->addItem(category.name(), category.rawValue());
    m_category->setAccessibleName(QStringLiteral("Category"));
    m_categoryField = new OVField(QStringLiteral("Category"), m_category);
    typeRow->addWidget(m_categoryField);
    typeRow->addStretch(1);
    form->addLayout(typeRow);
    connect(m_type, &QComboBox::activated, this, [this](int index) {
        if (const auto kind = TaskKind::fromRaw(m_type->itemData(index).toString()))
            m_item.kind = *kind;
        showKind();
    });
    connect(m_category, &QComboBox::activated, this,
            [this](int index) { m_item.category = m_category->itemData(index).toString(); });

    m_title = new OVTextField;
    form->addWidget(new OVField(QStringLiteral("Title"), m_title));
    connect(m_title, &QLineEdit::textEdited, this, [this](const QString& text) { m_item.title = text; });

    // Zone and plant.
    auto* whereRow = makeRow(12);
    m_zone = new ZonePicker(store(), true);
    whereRow->addWidget(new OVField(QStringLiteral("Zone"), m_zone), 1);
    m_plant = new PlantPicker(store());
    m_plantField = new OVField(QStringLiteral("Single plant (optional)"), m_plant);
    whereRow->addWidget(m_plantField, 1);
    form->addLayout(whereRow);
    connect(m_zone, &ZonePicker::picked, this, [this] { m_item.zoneID = m_zone->zoneID(); });
    connect(m_plant, &PlantPicker::picked, this, [this] { m_item.plantID = m_plant->plantID(); });

    // The amount field's caption depends on the type; one box per caption, both
    // showing the same text.
    m_amountOther = new OVTextField;
    m_amountFieldOther = new OVField(
        QStringLiteral("Amount, product or target (for example 1 gal, 20-20-20 at ¼ strength, pH 5.8–6.2)"),
        m_amountOther);
    m_amountParts = new OVTextField;
    m_amountFieldParts = new OVField(QStringLiteral("Parts / supplies"), m_amountParts);
    form->addWidget(m_amountFieldOther);
    form->addWidget(m_amountFieldParts);
    for (OVTextField* box : {m_amountOther, m_amountParts}) {
        connect(box, &QLineEdit::textEdited, this, [this, box](const QString& text) {
            m_item.amount = text;
            OVTextField* other = box == m_amountOther ? m_amountParts : m_amountOther;
            const QSignalBlocker block(other);
            other->setText(text);
        });
    }

    // Repeats.
    auto* repeats = new OVCard(QStringLiteral("Repeats"), QStringLiteral("repeat"), 12);
    QVBoxLayout* rule = repeats->body();
    auto* segments = makeRow(4);
    auto* segmentGroup = new QButtonGroup(this);
    segmentGroup->setExclusive(true);
    for (qsizetype i = 0; i < ruleKinds().size(); ++i) {
        auto* chip = new ToggleChip(ruleTitles()[i]);
        chip->setObjectName(QStringLiteral("rule-") + ruleKinds()[i]);
        segmentGroup->addButton(chip);
        segments->addWidget(chip);
        m_ruleChips.append(chip);
        const QString kind = ruleKinds()[i];
        connect(chip, &QAbstractButton::clicked, this, [this, kind] { setRuleKind(kind); });
    }
    segments->addStretch(1);
    rule->addLayout(segments);

    auto* steppers = makeRow(12);
    m_everyStepper = new OVStepper(1, everyMax, 1);
    m_everyStepper->setFormatter([this](int shown) { return everyText(shown); });
    steppers->addWidget(m_everyStepper);
    connect(m_everyStepper, &OVStepper::changed, this, [this] {
        m_every = m_everyStepper->value();
        refreshPreview();
    });
    m_month = new QComboBox;
    m_month->setFixedWidth(KitMetrics::px(140));
    for (int m = 1; m <= 12; ++m)
        m_month->addItem(Recurrence::monthNames().value(m - 1), m);
    m_month->setAccessibleName(QStringLiteral("Month"));
    m_monthField = new QWidget;
    auto* monthRow = makeRow(8);
    monthRow->addWidget(new OVLabel(QStringLiteral("Month"), 13, QFont::Normal, colors.text()));
    monthRow->addWidget(m_month);
    m_monthField->setLayout(monthRow);
    steppers->addWidget(m_monthField);
    connect(m_month, &QComboBox::activated, this, [this](int index) {
        m_yearMonth = m_month->itemData(index).toInt();
        refreshPreview();
    });
    m_dayStepper = new OVStepper(1, dayMax, 1);
    m_dayStepper->setFormatter([](int day) { return QStringLiteral("Day %1").arg(day); });
    steppers->addWidget(m_dayStepper);
    connect(m_dayStepper, &OVStepper::changed, this, [this] {
        m_monthDay = m_dayStepper->value();
        refreshPreview();
    });
    steppers->addStretch(1);
    rule->addLayout(steppers);

    m_weekdayRow = new QWidget;
    auto* weekdays = makeRow(6);
    for (int day = 1; day <= 7; ++day) {
        auto* chip = new ToggleChip(Recurrence::weekdayNames().value(day - 1));
        chip->setObjectName(QStringLiteral("weekday-%1").arg(day));
        weekdays->addWidget(chip);
        m_weekdayChips.append(chip);
        connect(chip, &QAbstractButton::clicked, this, [this, day](bool on) {
            if (on)
                m_weekdays.insert(day);
            else
                m_weekdays.remove(day);
            refreshPreview();
        });
    }
    weekdays->addStretch(1);
    m_weekdayRow->setLayout(weekdays);
    rule->addWidget(m_weekdayRow);

    auto* when = makeRow(12);
    m_start = new OVDayPicker(m_item.start);
    when->addWidget(new OVField(QStringLiteral("Starting"), m_start));
    connect(m_start, &OVDayPicker::changed, this, [this] {
        m_item.start = m_start->day();
        refreshPreview();
    });
    m_timeEdit = new QTimeEdit;
    // A bare wall time: no zone, so no clock change can shift it while editing.
    m_timeEdit->setTimeSpec(Qt::UTC);
    m_timeEdit->setDisplayFormat(QStringLiteral("HH:mm"));
    m_timeEdit->setAccessibleName(QStringLiteral("Time"));
    when->addWidget(new OVField(QStringLiteral("Time"), m_timeEdit));
    when->addStretch(1);
    connect(m_timeEdit, &QTimeEdit::timeChanged, this, [this](QTime t) {
        m_time = QTime(t.hour(), t.minute());
        refreshPreview();
    });
    rule->addLayout(when);

    m_preview = new OVLabel(QString(), 11.5, QFont::Normal, colors.dim());
    m_preview->setObjectName(QStringLiteral("rulePreview"));
    m_preview->setWrapping(true);
    rule->addWidget(m_preview);
    form->addWidget(repeats);

    auto* switches = makeRow(18);
    m_remind = new QCheckBox(QStringLiteral("Remind me (desktop notification)"));
    m_active = new QCheckBox(QStringLiteral("Active"));
    switches->addWidget(m_remind);
    switches->addWidget(m_active);
    switches->addStretch(1);
    form->addLayout(switches);
    connect(m_remind, &QCheckBox::toggled, this, [this](bool on) { m_item.remind = on; });
    connect(m_active, &QCheckBox::toggled, this, [this](bool on) { m_item.active = on; });

    m_notes = new OVTextArea(QString(), 50);
    form->addWidget(new OVField(QStringLiteral("Notes"), m_notes));
    connect(m_notes, &QPlainTextEdit::textChanged, this, [this] { m_item.notes = m_notes->text(); });

    if (m_item.id != 0)
        m_delete = addDeleteButton(QStringLiteral("Delete This Task…"));
}

QString TaskEditor::title() const
{
    return (m_item.id == 0 ? QStringLiteral("New ") : QStringLiteral("Edit ")) + m_item.kind.name() +
           QStringLiteral(" Task");
}

QString TaskEditor::everyText(int shown) const
{
    // The stepper holds an int; a stored interval beyond it is shown as stored until
    // the user steps.
    const qint64 value =
        shown == int(std::min<qint64>(m_every, std::numeric_limits<int>::max())) ? m_every : qint64(shown);
    QString unit = QStringLiteral("month(s)");
    if (m_ruleKind == QLatin1String("days"))
        unit = QStringLiteral("day(s)");
    else if (m_ruleKind == QLatin1String("weeks"))
        unit = QStringLiteral("week(s)");
    return QStringLiteral("Every %1 %2").arg(value).arg(unit);
}

void TaskEditor::load()
{
    // The stored time of day as a time: never "today at h:m", which a clock change
    // could move. A stored time out of range keeps the current time.
    const QTime stored(int(std::clamp<qint64>(m_item.hour, -1, 24)), int(std::clamp<qint64>(m_item.minute, -1, 60)));
    if (stored.isValid())
        m_time = stored;
    if (m_item.kind == TaskKind::maintenance && m_item.category.isEmpty())
        m_item.category = MaintenanceCategory(MaintenanceCategory::other).rawValue();
    m_monthDay = m_item.start.day;
    m_yearMonth = m_item.start.month;
    const Recurrence& r = m_item.rule;
    switch (r.kind()) {
    case Recurrence::Kind::everyDays:
        m_ruleKind = QStringLiteral("days");
        m_every = r.every();
        break;
    case Recurrence::Kind::weekly:
        m_ruleKind = QStringLiteral("weeks");
        m_every = r.every();
        m_weekdays = QSet<int>(r.weekdays().begin(), r.weekdays().end());
        break;
    case Recurrence::Kind::monthlyDay:
        m_ruleKind = QStringLiteral("monthday");
        m_every = r.every();
        m_monthDay = r.day();
        break;
    case Recurrence::Kind::monthlyLast:
        m_ruleKind = QStringLiteral("monthlast");
        m_every = r.every();
        break;
    case Recurrence::Kind::yearly:
        m_ruleKind = QStringLiteral("yearly");
        m_yearMonth = r.month();
        m_monthDay = r.day();
        break;
    case Recurrence::Kind::once:
        m_ruleKind = QStringLiteral("once");
        break;
    }
    showItem();
    showRule();
}

std::optional<Recurrence> TaskEditor::currentRule() const
{
    if (m_ruleKind == QLatin1String("once"))
        return Recurrence::once();
    if (m_ruleKind == QLatin1String("days"))
        return Recurrence::everyDays(m_every);
    if (m_ruleKind == QLatin1String("weeks")) {
        if (m_weekdays.isEmpty())
            return std::nullopt;
        QList<int> days(m_weekdays.begin(), m_weekdays.end());
        std::sort(days.begin(), days.end());
        return Recurrence::weekly(m_every, days);
    }
    if (m_ruleKind == QLatin1String("monthday"))
        return Recurrence::monthlyDay(m_every, m_monthDay);
    if (m_ruleKind == QLatin1String("monthlast"))
        return Recurrence::monthlyLast(m_every);
    if (m_ruleKind == QLatin1String("yearly"))
        return Recurrence::yearly(m_yearMonth, m_monthDay);
    return std::nullopt;
}

std::pair<int, int> TaskEditor::hm() const
{
    if (!m_time.isValid())
        return {8, 0};
    return {m_time.hour(), m_time.minute()};
}

void TaskEditor::showItem()
{
    const QSignalBlocker b1(m_type), b2(m_category), b3(m_title), b4(m_zone), b5(m_plant), b6(m_amountOther),
        b7(m_amountParts), b8(m_start), b9(m_remind), b10(m_active), b11(m_notes), b12(m_timeEdit);
    m_type->setCurrentIndex(m_type->findData(m_item.kind.rawValue()));
    m_title->setText(m_item.title);
    m_zone->setZoneID(m_item.zoneID);
    m_plant->setPlantID(m_item.plantID);
    m_amountOther->setText(m_item.amount);
    m_amountParts->setText(m_item.amount);
    m_start->setDay(m_item.start);
    m_timeEdit->setTime(m_time);
    m_remind->setChecked(m_item.remind);
    m_active->setChecked(m_item.active);
    if (m_notes->text() != m_item.notes)
        m_notes->setText(m_item.notes);
    showKind();
}

void TaskEditor::showKind()
{
    const bool maintenance = m_item.kind == TaskKind::maintenance;
    frame()->setTitle(title());
    frame()->setSymbol(m_item.kind.symbol());
    m_categoryField->setVisible(maintenance);
    {
        // No category chosen shows as none until the user picks one.
        const QSignalBlocker block(m_category);
        m_category->setCurrentIndex(m_category->findData(m_item.category));
    }
    m_plantField->setVisible(!maintenance);
    m_amountFieldParts->setVisible(maintenance);
    m_amountFieldOther->setVisible(!maintenance);
    m_title->setPlaceholderText(maintenance ? QStringLiteral("Check and oil vent openers")
                                            : QStringLiteral("Water propagation trays"));
}

void TaskEditor::setRuleKind(const QString& kind)
{
    m_ruleKind = kind;
    showRule();
}

void TaskEditor::showRule()
{
    const int index = int(ruleKinds().indexOf(m_ruleKind));
    for (int i = 0; i < m_ruleChips.size(); ++i)
        m_ruleChips[i]->setChecked(i == index);
    const bool interval = m_ruleKind == QLatin1String("days") || m_ruleKind == QLatin1String("weeks") ||
                          m_ruleKind == QLatin1String("monthday") || m_ruleKind == QLatin1String("monthlast");
    const bool day = m_ruleKind == QLatin1String("monthday") || m_ruleKind == QLatin1String("yearly");
    m_everyStepper->setVisible(interval);
    m_everyStepper->setValue(int(std::min<qint64>(m_every, std::numeric_limits<int>::max())));
    m_monthField->setVisible(m_ruleKind == QLatin1String("yearly"));
    {
        const QSignalBlocker block(m_month);
        m_month->setCurrentIndex(m_month->findData(m_yearMonth));
    }
    m_dayStepper->setVisible(day);
    m_dayStepper->setValue(m_monthDay);
    m_weekdayRow->setVisible(m_ruleKind == QLatin1String("weeks"));
    for (int d = 1; d <= 7; ++d)
        m_weekdayChips[d - 1]->setChecked(m_weekdays.contains(d));
    refreshPreview();
}

QString TaskEditor::previewText() const
{
    const std::optional<Recurrence> rule = currentRule();
    if (!rule)
        return QString();
    const auto [hour, minute] = hm();
    const QList<QDateTime> next = Schedule::occurrences(*rule, m_item.start, hour, minute, Calendar::current(),
                                                        TaskClock::now(), std::nullopt, 5);
    QStringList texts;
    for (const QDateTime& moment : next)
        texts.append(OVFormat::dayTime(moment));
    return rule->summary() + QStringLiteral(". Next: ") +
           (texts.isEmpty() ? QStringLiteral("none") : texts.join(QStringLiteral(" · ")));
}

void TaskEditor::refreshPreview()
{
    const QString text = previewText();
    m_preview->setText(text);
    m_preview->setVisible(!text.isEmpty());
}

bool TaskEditor::saveTask()
{
    setError(std::nullopt);
    const std::optional<Recurrence> rule = currentRule();
    if (!rule) {
        setError(QStringLiteral("Choose at least one weekday."));
        return false;
    }
    m_item.rule = *rule;
    const auto [hour, minute] = hm();
    m_item.hour = hour;
    m_item.minute = minute;
    if (m_item.kind != TaskKind::maintenance)
        m_item.category.clear();

    OVTask copy = m_item;
    if (!commit(copy, [this](const OVTask& left) {
            m_item = left;
            showItem();
        }))
        return false;
    OVNotify::reschedule(store(), TaskClock::now());
    if (m_item.remind && OVPrefs::remindersOn())
        OVNotify::requestPermission();
    closeSheet();
    return true;
}

void TaskEditor::askDelete()
{
    closeAndAskDelete<OVTask>(QStringLiteral("“") + m_item.title + QStringLiteral("”"),
                              QStringLiteral("Its done-history is deleted too."), m_item.id,
                              [](OVStore& store) { OVNotify::reschedule(store, TaskClock::now()); });
}

OVField* TaskEditor::amountField() const
{
    return m_item.kind == TaskKind::maintenance ? m_amountFieldParts : m_amountFieldOther;
}

OVTextField* TaskEditor::amountBox() const
{
    return m_item.kind == TaskKind::maintenance ? m_amountParts : m_amountOther;
}

ToggleChip* TaskEditor::ruleChip(const QString& kind) const
{
    return m_ruleChips.value(ruleKinds().indexOf(kind));
}
