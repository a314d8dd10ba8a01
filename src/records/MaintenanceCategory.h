#pragma once
// What a maintenance job looks after. Tasks store it as plain text, so a
// category this list does not know survives a save unchanged.
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

class MaintenanceCategory {
public:
    enum Case : unsigned char { vents, heaters, fans, filters, cleaning, glazing, irrigation, structure, other };

    constexpr MaintenanceCategory() noexcept = default;
    constexpr MaintenanceCategory(Case c) noexcept : m_case(c) {}
    constexpr operator Case() const noexcept { return m_case; }

    static const std::array<MaintenanceCategory, 9>& allCases();
    // The case whose raw value equals `raw` exactly; nullopt for any other text.
    static std::optional<MaintenanceCategory> fromRaw(QStringView raw);

    QString rawValue() const;
    QString id() const { return rawValue(); }
    // The fixed English text shown to people.
    QString name() const;
    QString displayName() const { return name(); }

private:
    Case m_case = vents;
};

template <>
struct std::hash<MaintenanceCategory> {
    size_t operator()(MaintenanceCategory v) const noexcept { return std::hash<int>()(static_cast<int>(MaintenanceCategory::Case(v))); }
};
