#pragma once
// How each of the thirteen stored record types maps to a row of its table, kept in
// the store so that the records themselves stay plain values:
//
//   table            the table name
//   columns()        the table's columns without `id`, in binding order
//   values(record)   one bindable value per column, same order; NULL for an absent optional
//   fromRow(row)     the record read from a result row by column name; never fails, a
//                    missing, NULL or unreadable column gives that column's fallback
//
// A record read back from the row its own values() wrote compares equal to it. The
// definitions stand side by side in RowMapping.cpp.

#include "records/GermTest.h"
#include "records/Greenhouse.h"
#include "records/Harvest.h"
#include "records/LedgerEntry.h"
#include "records/OVTask.h"
#include "records/PestRecord.h"
#include "records/Photo.h"
#include "records/Plant.h"
#include "records/Reading.h"
#include "records/Seed.h"
#include "records/Spot.h"
#include "records/TaskLog.h"
#include "records/Zone.h"
#include "store/SQLRow.h"
#include "store/SQLValue.h"

#include <QString>
#include <QStringList>
#include <optional>

// Specialised once per stored record type; the primary template has no definition.
template <typename T>
struct RowMapping;

template <>
struct RowMapping<Greenhouse> {
    static inline const QString table = QStringLiteral("greenhouse");
    static QStringList columns();
    static SQLArgs values(const Greenhouse& record);
    static Greenhouse fromRow(const SQLRow& row);
};

template <>
struct RowMapping<Zone> {
    static inline const QString table = QStringLiteral("zone");
    static QStringList columns();
    static SQLArgs values(const Zone& record);
    static Zone fromRow(const SQLRow& row);
};

template <>
struct RowMapping<Spot> {
    static inline const QString table = QStringLiteral("spot");
    static QStringList columns();
    static SQLArgs values(const Spot& record);
    static Spot fromRow(const SQLRow& row);
};

template <>
struct RowMapping<Plant> {
    static inline const QString table = QStringLiteral("plant");
    static QStringList columns();
    static SQLArgs values(const Plant& record);
    static Plant fromRow(const SQLRow& row);
};

template <>
struct RowMapping<Photo> {
    static inline const QString table = QStringLiteral("photo");
    static QStringList columns();
    static SQLArgs values(const Photo& record);
    static Photo fromRow(const SQLRow& row);
};

template <>
struct RowMapping<Seed> {
    static inline const QString table = QStringLiteral("seed");
    static QStringList columns();
    static SQLArgs values(const Seed& record);
    static Seed fromRow(const SQLRow& row);
};

template <>
struct RowMapping<GermTest> {
    static inline const QString table = QStringLiteral("germ_test");
    static QStringList columns();
    static SQLArgs values(const GermTest& record);
    // An unreadable `started` reads as `today` (the current day when not given).
    static GermTest fromRow(const SQLRow& row, std::optional<OVDay> today = std::nullopt);
};

template <>
struct RowMapping<Reading> {
    static inline const QString table = QStringLiteral("reading");
    static QStringList columns();
    static SQLArgs values(const Reading& record);
    static Reading fromRow(const SQLRow& row);
};

template <>
struct RowMapping<OVTask> {
    static inline const QString table = QStringLiteral("task");
    static QStringList columns();
    static SQLArgs values(const OVTask& record);
    // An unreadable `start` reads as `today` (the current day when not given).
    static OVTask fromRow(const SQLRow& row, std::optional<OVDay> today = std::nullopt);
};

template <>
struct RowMapping<TaskLog> {
    static inline const QString table = QStringLiteral("task_log");
    static QStringList columns();
    static SQLArgs values(const TaskLog& record);
    static TaskLog fromRow(const SQLRow& row);
};

template <>
struct RowMapping<PestRecord> {
    static inline const QString table = QStringLiteral("pest");
    static QStringList columns();
    static SQLArgs values(const PestRecord& record);
    // An unreadable `observed` reads as `today` (the current day when not given).
    static PestRecord fromRow(const SQLRow& row, std::optional<OVDay> today = std::nullopt);
};

template <>
struct RowMapping<Harvest> {
    static inline const QString table = QStringLiteral("harvest");
    static QStringList columns();
    static SQLArgs values(const Harvest& record);
    // An unreadable `date` reads as `today` (the current day when not given).
    static Harvest fromRow(const SQLRow& row, std::optional<OVDay> today = std::nullopt);
};

template <>
struct RowMapping<LedgerEntry> {
    static inline const QString table = QStringLiteral("ledger");
    static QStringList columns();
    static SQLArgs values(const LedgerEntry& record);
    // An unreadable `date` reads as `today` (the current day when not given).
    static LedgerEntry fromRow(const SQLRow& row, std::optional<OVDay> today = std::nullopt);
};
