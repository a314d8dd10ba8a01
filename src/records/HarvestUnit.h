#pragma once
// The unit a harvest is weighed or counted in.
//
// Stored as the raw text, which is the case name exactly (case-sensitive);
// allCases() is the order pickers and exports list them in. A default-constructed
// value is the first case.

#include <QString>
#include <QStringView>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>

class HarvestUnit {
public:
    enum Case : unsigned char { lb, oz, kg, g, count };

    constexpr HarvestUnit() noexcept = default;
    constexpr HarvestUnit(Case c) noexcept : m_case(c) {}
    constexpr operator Case() const noexcept { return m_case; }

    static const std::array<HarvestUnit, 5>& allCases();
    // The case whose raw value equals `raw` exactly; nullopt for any other text.
    static std::optional<HarvestUnit> fromRaw(QStringView raw);

    QString rawValue() const;
    QString id() const { return rawValue(); }
    // The fixed English text shown to people.
    QString name() const;
    QString displayName() const { return name(); }
    // The weight of one unit in pounds; nullopt for a count.
    std::optional<double> pounds() const;

private:
    Case m_case = lb;
};

template <>
struct std::hash<HarvestUnit> {
    size_t operator()(HarvestUnit v) const noexcept { return std::hash<int>()(static_cast<int>(HarvestUnit::Case(v))); }
};
