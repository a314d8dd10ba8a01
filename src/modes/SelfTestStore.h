#pragma once
// What the check groups that work on a store of their own share: opening it in the
// run's scratch folder, and saving fixtures whose failure shows up in later checks.

#include "modes/OVTestRun.h"
#include "records/Metric.h"
#include "records/MetricRange.h"
#include "records/Zone.h"
#include "store/OVStore.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>

namespace OVSelfTest {

// Opens (creating) `name` in `folder`. When that fails the group's one FAIL line
// "store opens" is printed and nothing is returned, so the group ends there.
std::unique_ptr<OVStore> openGroupStore(OVTestRun& run, const QString& folder, const QString& name);

// Saves a fixture, swallowing its error on purpose: a record that did not save shows
// up as a failing check that names what went wrong well enough.
template <typename T>
void trySave(OVStore& store, T& record)
{
    try {
        store.save(record);
    } catch (...) {
    }
}

// Saves a greenhouse "G" holding one zone per name, in that order, each watching
// `limits`; the zones come back with their ids (or none, when a save failed).
QList<Zone> trySaveZones(OVStore& store, const QStringList& names, const std::map<Metric, MetricRange>& limits = {});

} // namespace OVSelfTest
