// prepare() of every record type: the tidying and the checks each record passes just
// before the store writes it. A step that refuses throws OVError::invalid with the
// sentence the editor shows word for word; earlier steps' tidying stays in the record.
// The checks read the store only through get() and fetch() and never write.
//
// Which parent a refusal names follows one pattern: a record that cannot exist
// without a parent chosen in its own editor asks to "Choose" it; a link to a record
// deleted since says "That … no longer exists."; tasks and pest records never
// refuse for a link.

#include "records/MaintenanceCategory.h"
#include "store/OVStore.h"
#include "store/ReadingCheck.h"

#include <cmath>

namespace {

[[noreturn]] void refuse(const QString& sentence)
{
    throw OVError::invalid(sentence);
}

// Trims white space and line breaks at both ends and keeps the trimmed text.
const QString& trimInPlace(QString& text)
{
    text = text.trimmed();
    return text;
}

// A linked plant must still exist; a blank crop is filled in from it.
void takeCropFromPlant(OVStore& store, const std::optional<qint64>& plantID, QString& crop)
{
    if (!plantID)
        return;
    const std::optional<Plant> plant = store.get<Plant>(plantID);
    if (!plant)
        refuse(QStringLiteral("That plant no longer exists."));
    if (crop.trimmed().isEmpty())
        crop = plant->crop;
}

} // namespace

void Greenhouse::prepare(OVStore&)
{
    if (trimInPlace(name).isEmpty())
        refuse(QStringLiteral("Please give the greenhouse a name."));
}

void Zone::prepare(OVStore& store)
{
    if (trimInPlace(name).isEmpty())
        refuse(QStringLiteral("Please give the zone a name."));
    if (!store.get<Greenhouse>(greenhouseID))
        refuse(QStringLiteral("Choose which greenhouse this zone is in."));

    // Metric order: the first faulty metric in allCases() order is the one named.
    for (const auto& [metric, range] : limits) {
        const Metric::Bounds possible = metric.possible();
        if (range.min && !possible.contains(*range.min))
            refuse(metric.name() + QStringLiteral(": the low alert value is not a possible reading."));
        if (range.max && !possible.contains(*range.max))
            refuse(metric.name() + QStringLiteral(": the high alert value is not a possible reading."));
        if (range.min && range.max && *range.min > *range.max)
            refuse(metric.name() + QStringLiteral(": the low alert value is higher than the high one."));
    }
    std::erase_if(limits, [](const auto& entry) { return !entry.second.min && !entry.second.max; });
}

void Spot::prepare(OVStore& store)
{
    const QString kindWord = kind.name().toLower();
    if (trimInPlace(name).isEmpty())
        refuse(QStringLiteral("Please give the ") + kindWord + QStringLiteral(" a name or number."));
    if (!store.get<Zone>(zoneID))
        refuse(QStringLiteral("Choose which zone this ") + kindWord + QStringLiteral(" is in."));
}

void Plant::prepare(OVStore& store)
{
    if (trimInPlace(crop).isEmpty())
        refuse(QStringLiteral("Please enter what you are growing (for example Tomato)."));
    if (quantity < 0)
        refuse(QStringLiteral("The number of plants can't be negative."));
    if (sowDate && transplantDate && *transplantDate < *sowDate)
        refuse(QStringLiteral("The transplant date is before the sowing date."));

    // The most specific place chosen decides the others, whatever the record held.
    if (spotID) {
        const std::optional<Spot> spot = store.get<Spot>(spotID);
        if (!spot)
            refuse(QStringLiteral("That bed or bench no longer exists."));
        zoneID = spot->zoneID;
    }
    if (zoneID) {
        const std::optional<Zone> zone = store.get<Zone>(zoneID);
        if (!zone)
            refuse(QStringLiteral("That zone no longer exists."));
        greenhouseID = zone->greenhouseID;
    }
    if (greenhouseID && !store.get<Greenhouse>(greenhouseID))
        refuse(QStringLiteral("That greenhouse no longer exists."));
}

void Photo::prepare(OVStore& store)
{
    if (data.isEmpty())
        refuse(QStringLiteral("The photo is empty."));
    if (store.fetch<Plant>(QStringLiteral("id = ?"), {plantID}).isEmpty())
        refuse(QStringLiteral("That plant no longer exists."));
}

void Seed::prepare(OVStore&)
{
    if (trimInPlace(crop).isEmpty())
        refuse(QStringLiteral("Please enter the crop (for example Lettuce)."));
    // Infinity and not-a-number are refused with the same sentence, as for costs.
    if (!(std::isfinite(quantity) && quantity >= 0))
        refuse(QStringLiteral("The amount of seed can't be negative."));
    if (year && (*year < 1900 || *year > 2200))
        refuse(QStringLiteral("The packed-for year doesn't look right."));
}

void GermTest::prepare(OVStore& store)
{
    if (sown <= 0)
        refuse(QStringLiteral("Enter how many seeds were tested (more than 0)."));
    if (sprouted < 0 || sprouted > sown)
        refuse(QStringLiteral("Sprouted seeds must be between 0 and the number sown."));
    if (days && *days < 0)
        refuse(QStringLiteral("Days can't be negative."));
    if (!store.get<Seed>(seedID))
        refuse(QStringLiteral("That seed packet no longer exists."));
}

void ReadingCheck::validate(const Reading& reading, const std::function<bool(qint64)>& zoneExists)
{
    if (!zoneExists(reading.zoneID))
        refuse(QStringLiteral("Choose the zone this reading is for."));
    if (reading.values.empty())
        refuse(QStringLiteral("Enter at least one reading."));
    for (const auto& [metric, value] : reading.values) {
        if (!metric.possible().contains(value))
            refuse(metric.name() + QStringLiteral(" ") + metric.format(value) +
                   QStringLiteral(" is not a possible reading. Please check it."));
    }
}

void Reading::prepare(OVStore& store)
{
    ReadingCheck::validate(*this, [&store](qint64 zone) { return store.get<Zone>(zone).has_value(); });
}

void OVTask::prepare(OVStore& store)
{
    if (trimInPlace(title).isEmpty()) {
        if (kind == TaskKind::maintenance) {
            const auto known = MaintenanceCategory::fromRaw(category);
            title = known ? known->name() : QStringLiteral("Maintenance");
        } else {
            title = kind.name();
        }
    }
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59)
        refuse(QStringLiteral("Please choose a valid time of day."));
    // Only a rule that reads back as itself is stored, so what is saved is what the
    // schedule later shows.
    if (Recurrence::fromEncoded(rule.encoded()) != rule)
        refuse(QStringLiteral("Please finish choosing how often this repeats."));
    // A task never refuses for a vanished link; it simply loses it.
    if (zoneID && !store.get<Zone>(zoneID))
        zoneID.reset();
    if (plantID && !store.get<Plant>(plantID))
        plantID.reset();
}

void TaskLog::prepare(OVStore&)
{
}

void PestRecord::prepare(OVStore& store)
{
    if (trimInPlace(problem).isEmpty())
        refuse(QStringLiteral("Describe the pest or problem (for example Aphids or Powdery mildew)."));
    if (severity < 1 || severity > 5)
        refuse(QStringLiteral("Severity must be 1 (light) to 5 (severe)."));
    if (treated && *treated < observed)
        refuse(QStringLiteral("The treatment date is before the day the problem was seen."));
    // A plant that is gone is left as it is; a pest record never refuses for a link.
    if (plantID && !zoneID) {
        if (const std::optional<Plant> plant = store.get<Plant>(plantID))
            zoneID = plant->zoneID;
    }
}

void Harvest::prepare(OVStore& store)
{
    takeCropFromPlant(store, plantID, crop);
    if (trimInPlace(crop).isEmpty())
        refuse(QStringLiteral("Choose a plant or type the crop you harvested."));
    if (!(std::isfinite(quantity) && quantity > 0))
        refuse(QStringLiteral("Enter how much you harvested (more than 0)."));
}

void LedgerEntry::prepare(OVStore& store)
{
    if (trimInPlace(item).isEmpty())
        refuse(QStringLiteral("Please describe what was bought or paid for."));
    if (!(std::isfinite(cost) && cost >= 0))
        refuse(QStringLiteral("The cost can't be negative."));
    takeCropFromPlant(store, plantID, crop);
    trimInPlace(crop);
}
