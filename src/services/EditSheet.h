#pragma once
// The editor sheet open over the main window, carrying the value it edits: a record
// (id 0 for a new, unsaved one) or, for the climate CSV import, the zone to import
// into. The id names the sheet: a kind prefix and the record's row id ("p0" for a
// new plant, "p42" for plant 42, "seed5" for seed packet 5) and "csv" for every
// import sheet, so two kinds never share an id for the same row id.

#include "records/GermTest.h"
#include "records/Greenhouse.h"
#include "records/Harvest.h"
#include "records/LedgerEntry.h"
#include "records/OVTask.h"
#include "records/PestRecord.h"
#include "records/Plant.h"
#include "records/Reading.h"
#include "records/Seed.h"
#include "records/Spot.h"
#include "records/Zone.h"

#include <QString>
#include <optional>
#include <type_traits>
#include <variant>

class EditSheet {
public:
    enum class Kind { greenhouse, zone, spot, plant, seed, germ, reading, task, pest, harvest, ledger, importCSV };

    struct ImportCSV {
        std::optional<qint64> zoneID; // nullopt: no zone chosen yet
        friend bool operator==(const ImportCSV&, const ImportCSV&) = default;
    };

    // Alternatives in Kind order: the variant's index is the kind.
    using Payload = std::variant<Greenhouse, Zone, Spot, Plant, Seed, GermTest, Reading, OVTask,
                                 PestRecord, Harvest, LedgerEntry, ImportCSV>;

    template <typename T>
        requires std::is_constructible_v<Payload, T> &&
                 (!std::is_same_v<std::remove_cvref_t<T>, EditSheet>)
    EditSheet(T&& value) : m_payload(std::forward<T>(value))
    {
    }

    static EditSheet importCSV(std::optional<qint64> zoneID) { return EditSheet(ImportCSV{zoneID}); }

    Kind kind() const { return Kind(m_payload.index()); }
    QString id() const;
    const Payload& payload() const { return m_payload; }

    // The carried value when it is of type T, else nullptr.
    template <typename T>
    const T* get() const
    {
        return std::get_if<T>(&m_payload);
    }

    friend bool operator==(const EditSheet&, const EditSheet&) = default;

private:
    Payload m_payload;
};
