#pragma once
// One crop of the reference library: growing facts as the cited publications give
// them. Temperatures are degrees Fahrenheit; a figure the sources do not give is
// absent, never guessed. Text fields hold the cell as written. A loaded crop
// always has an id and a name, and every source key it cites names a loaded source.

#include "records/OVDay.h"

#include <QString>
#include <QStringList>
#include <optional>

struct RefCrop {
    QString id;
    QString name;
    QString season;
    QString growTemps;                // the growing temperatures as text
    std::optional<double> growLow;
    std::optional<double> growHigh;
    QString growBasis;                // what the growing figures mean: day, mean or range
    std::optional<double> nightLow;
    std::optional<double> nightHigh;
    std::optional<double> germMin;    // soil temperature for germination
    std::optional<double> germOpt;
    std::optional<double> germMax;
    QString spacing;
    QString depth;
    QString daysToGerminate;
    std::optional<qint64> maturityLow; // days to maturity
    std::optional<qint64> maturityHigh;
    QString maturityFrom;             // "seed", "transplant", or anything else: planting
    QString transplantWeeks;
    QString notes;
    QStringList tempSources;
    QStringList germSources;
    QStringList spacingSources;
    QStringList maturitySources;

    // The cited source keys, temperatures first, each key once in order of first
    // appearance.
    QStringList allSourceKeys() const;

    // "65 days from transplanting", "60–75 days from seeding", "—" without figures.
    QString maturityText() const;

    // The first expected harvest day: maturityLow days after the day maturity counts
    // from (sowing for "seed" crops, else transplanting; the other day when that one
    // is missing). Nothing without a figure or without either day.
    std::optional<OVDay> expectedHarvest(std::optional<OVDay> sow, std::optional<OVDay> transplant,
                                         const Calendar& calendar = Calendar::current()) const;

    friend bool operator==(const RefCrop&, const RefCrop&) = default;
};
