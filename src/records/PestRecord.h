#pragma once
// A pest, disease or disorder seen on a plant or in a zone, with its treatment.
// `severity` runs from 1 (light) to 5 (severe). A new record is observed today
// (set `observed` in the initializer to pin the day).

#include "records/OVDay.h"
#include "records/ProblemKind.h"

#include <QString>
#include <QStringList>
#include <optional>

class OVStore;

struct PestRecord {
    qint64 id = 0;
    OVDay observed = OVDay::today();
    std::optional<qint64> plantID{};
    std::optional<qint64> zoneID{};
    QString problem{};
    ProblemKind kind = ProblemKind::pest;
    qint64 severity = 2;
    QString treatment{};
    std::optional<OVDay> treated{};
    QString result{};
    bool resolved = false;
    QString notes{};

    // Tidies and checks the record before a save; throws OVError::invalid.
    void prepare(OVStore& store);

    friend bool operator==(const PestRecord&, const PestRecord&) = default;
};
