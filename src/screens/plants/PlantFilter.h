#pragma once
// The three filters of the Plants & Crops list: a search text, a status choice and a
// greenhouse choice. A plant is listed when it passes all three; the list keeps the
// store's order. The search is used exactly as typed (not trimmed), so a single
// blank matches every plant; the greenhouse test looks at the plant's own
// greenhouse link only, so an unplaced plant never passes a chosen greenhouse.

#include "records/Plant.h"

#include <QList>
#include <QString>
#include <optional>

struct PlantFilter {
    // The status choices besides the raw text of one status.
    static inline const QString active = QStringLiteral("active");
    static inline const QString all = QStringLiteral("all");

    QString search;
    QString status = active;
    std::optional<qint64> greenhouse;

    bool passes(const Plant& plant) const;
    QList<Plant> apply(const QList<Plant>& plants) const;
};
