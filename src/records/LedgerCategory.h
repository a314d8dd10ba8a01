#pragma once
// The spending categories of the supplies and costs ledger.
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

class LedgerCategory {
public:
    enum Case : unsigned char { seeds, media, fertilizer, pestControl, energy, water, equipment, repairs, containers, other };

    constexpr LedgerCategory() noexcept = default;
    constexpr LedgerCategory(Case c) noexcept : m_case(c) {}
    constexpr operator Case() const noexcept { return m_case; }

    static const std::array<LedgerCategory, 10>& allCases();
    // The case whose raw value equals `raw` exactly; nullopt for any other text.
    static std::optional<LedgerCategory> fromRaw(QStringView raw);

    QString rawValue() const;
    QString id() const { return rawValue(); }
    // The fixed English text shown to people.
    QString name() const;
    QString displayName() const { return name(); }

private:
    Case m_case = seeds;
};

template <>
struct std::hash<LedgerCategory> {
    size_t operator()(LedgerCategory v) const noexcept { return std::hash<int>()(static_cast<int>(LedgerCategory::Case(v))); }
};
