#pragma once
// The save and delete steps the pest, harvest and cost editors share. Saving hands the
// copy to the shared store, which may tidy it and give it its id, and returns the
// store's user text when it refuses; deleting closes the sheet first, then asks, and
// only the confirmed question deletes (a failure becomes the app model's notice).

#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QString>
#include <optional>

namespace EditorActions {

template <typename T>
std::optional<QString> save(T& copy)
{
    try {
        OVStore::shared()->save(copy);
    } catch (const OVError& error) {
        return error.errorDescription();
    }
    return std::nullopt;
}

template <typename T>
void closeAndAskDelete(const QString& name, qint64 id)
{
    closeSheet();
    AppModel::shared().askDelete(name, QString(), [id] {
        AppModel::shared().act([id] { OVStore::shared()->template remove<T>(id); });
    });
}

} // namespace EditorActions
