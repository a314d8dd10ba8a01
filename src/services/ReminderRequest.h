#pragma once
// One planned task reminder: what the desktop shows and when.
//
// The identifier is "ov.task." + task id + "." + whole seconds since 1970 of the
// fire instant, so the same task due at the same second always gets the same
// identifier and a replan reproduces the identifiers of unchanged reminders.

#include <QDateTime>
#include <QString>

struct ReminderRequest {
    QString id;
    QString title;
    QString body;
    QDateTime fire; // UTC

    friend bool operator==(const ReminderRequest&, const ReminderRequest&) = default;
};
