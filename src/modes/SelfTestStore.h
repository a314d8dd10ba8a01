#pragma once
// What the check groups that work on a store of their own share: opening it in the
// run's scratch folder, and saving fixtures whose failure shows up in later checks.

#include "modes/OVTestRun.h"
#include "store/OVStore.h"

#include <QString>
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

} // namespace OVSelfTest
