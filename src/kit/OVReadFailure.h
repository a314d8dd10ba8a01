#pragma once
// What a list shows instead of its empty state when the data behind it could not be
// read: saying "nothing yet" then would be untrue, and might lead a grower to enter
// again what is still stored.

#include "kit/OVEmpty.h"

class OVReadFailure : public OVEmpty {
    Q_OBJECT
public:
    // `reason` is the store's own text (for example the engine's message).
    explicit OVReadFailure(const QString& reason, QWidget* parent = nullptr);

    // "Could not read your data: <reason>"
    static QString text(const QString& reason);
    // The message said in place of a delete question whose counts could not be read.
    static QString nothingDeleted(const QString& reason);
};
