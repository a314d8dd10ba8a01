#pragma once
// A germination test of a seed packet: how many seeds were sown and how many
// sprouted. A new test starts today (set `started` in the initializer to pin it).

#include "records/OVDay.h"

#include <QString>
#include <QStringList>
#include <optional>

class OVStore;

struct GermTest {
    qint64 id = 0;
    qint64 seedID = 0;
    OVDay started = OVDay::today();
    qint64 sown = 10;
    qint64 sprouted = 0;
    std::optional<qint64> days{}; // how long the test ran
    QString notes{};

    // The germination percentage; 0 when nothing was sown (never a division by zero).
    double rate() const { return sown <= 0 ? 0.0 : double(sprouted) / double(sown) * 100.0; }

    // Tidies and checks the record before a save; throws OVError::invalid.
    void prepare(OVStore& store);

    friend bool operator==(const GermTest&, const GermTest&) = default;
};
