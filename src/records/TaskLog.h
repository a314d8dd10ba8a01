#pragma once
// One completion of a task. `doneAt` is an instant in UTC; a new value takes the
// current instant (set it in the initializer to pin it).


#include <QDateTime>
#include <QString>
#include <QStringList>

class OVStore;

struct TaskLog {
    qint64 id = 0;
    qint64 taskID = 0;
    QDateTime doneAt = QDateTime::currentDateTimeUtc();
    QString note{};

    // Tidies and checks the record before a save; throws OVError::invalid.
    void prepare(OVStore& store);

    friend bool operator==(const TaskLog&, const TaskLog&) = default;
};
