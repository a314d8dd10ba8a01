#pragma once
// One value of one reading that lies on the wrong side of one of its zone's alert
// limits. Alerts are worked out on demand (ClimateAlerts) and never stored.
//
// Invariants: `value` and `limit` are in the metric's stored unit (temperatures in
// degrees Fahrenheit); `limit` is the range's min for a low alert and its max for
// a high one; `zoneID` and `taken` are the reading's own. The list identity id()
// leaves the side out, so two alerts of one zone, metric and whole second share it.

#include "records/Metric.h"

#include <QDateTime>
#include <QLatin1String>
#include <QString>
#include <QStringView>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>

struct ClimateAlert {
    // Which limit was crossed; stored and compared as its raw text "low" / "high".
    class Side {
    public:
        enum Case : unsigned char { low, high };

        constexpr Side() noexcept = default;
        constexpr Side(Case c) noexcept : m_case(c) {}
        constexpr operator Case() const noexcept { return m_case; }

        static const std::array<Side, 2>& allCases()
        {
            static const std::array<Side, 2> all{Side(low), Side(high)};
            return all;
        }
        // The case whose raw value equals `raw` exactly; nullopt for any other text.
        static std::optional<Side> fromRaw(QStringView raw)
        {
            if (raw == QLatin1String("low"))
                return Side(low);
            if (raw == QLatin1String("high"))
                return Side(high);
            return std::nullopt;
        }
        QString rawValue() const { return m_case == low ? QStringLiteral("low") : QStringLiteral("high"); }

    private:
        Case m_case = low;
    };

    qint64 zoneID = 0;
    Metric metric{};
    double value = 0;
    double limit = 0;
    Side side{};
    QDateTime taken{};

    ClimateAlert() = default;
    ClimateAlert(qint64 zoneID, Metric metric, double value, double limit, Side side, QDateTime taken)
        : zoneID(zoneID), metric(metric), value(value), limit(limit), side(side), taken(std::move(taken))
    {
    }

    // "<zone id>-<metric raw value>-<whole seconds since 1970, truncated toward zero>".
    QString id() const
    {
        const qint64 seconds = taken.toMSecsSinceEpoch() / 1000; // integer division truncates toward zero
        return QString::number(zoneID) + QLatin1Char('-') + metric.rawValue() + QLatin1Char('-')
            + QString::number(seconds);
    }

    // The sentence shown and notified, in the display unit in force when it is made:
    // "Air temperature 95°F is above your high alert of 90°F" (no full stop).
    QString text() const
    {
        const QString phrase = side == Side::high ? QStringLiteral(" is above your high alert of ")
                                                  : QStringLiteral(" is below your low alert of ");
        return metric.name() + QLatin1Char(' ') + metric.format(value) + phrase + metric.format(limit);
    }

    friend bool operator==(const ClimateAlert& a, const ClimateAlert& b)
    {
        return a.zoneID == b.zoneID && a.metric == b.metric && a.value == b.value && a.limit == b.limit
            && a.side == b.side && a.taken == b.taken;
    }
};

template <>
struct std::hash<ClimateAlert::Side> {
    size_t operator()(ClimateAlert::Side v) const noexcept
    {
        return std::hash<int>()(static_cast<int>(ClimateAlert::Side::Case(v)));
    }
};
