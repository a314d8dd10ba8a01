#pragma once
// A purchase or running cost. `cost` is money in the user's currency; `crop`
// joins the entry to a crop's harvests in the reports. A new entry is dated today
// (set `date` in the initializer to pin the day).

#include "records/LedgerCategory.h"
#include "records/OVDay.h"

#include <QString>
#include <QStringList>
#include <optional>

class OVStore;

struct LedgerEntry {
    qint64 id = 0;
    OVDay date = OVDay::today();
    QString item{};
    LedgerCategory category = LedgerCategory::other;
    double quantity = 1;
    QString unit{};
    double cost = 0;
    QString vendor{};
    std::optional<qint64> plantID{};
    QString crop{};
    QString notes{};

    // Tidies and checks the record before a save; throws OVError::invalid.
    void prepare(OVStore& store);

    friend bool operator==(const LedgerEntry&, const LedgerEntry&) = default;
};
