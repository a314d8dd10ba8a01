#pragma once
// A photo of a plant: the JPEG bytes as the photo tools produced them.
//
// `added` is an instant in UTC; a new value takes the current instant (set it in
// the initializer to pin it).


#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

class OVStore;

struct Photo {
    qint64 id = 0;
    qint64 plantID = 0;
    QByteArray data{};
    QString caption{};
    QDateTime added = QDateTime::currentDateTimeUtc();

    // Tidies and checks the record before a save; throws OVError::invalid.
    void prepare(OVStore& store);

    friend bool operator==(const Photo&, const Photo&) = default;
};
