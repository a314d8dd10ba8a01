#pragma once
// The stages of a planting, from planned to finished or failed.
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

class PlantStatus {
public:
    enum Case : unsigned char { planned, germinating, seedling, growing, flowering, fruiting, harvesting, finished, failed };

    constexpr PlantStatus() noexcept = default;
    constexpr PlantStatus(Case c) noexcept : m_case(c) {}
    constexpr operator Case() const noexcept { return m_case; }

    static const std::array<PlantStatus, 9>& allCases();
    // The case whose raw value equals `raw` exactly; nullopt for any other text.
    static std::optional<PlantStatus> fromRaw(QStringView raw);

    QString rawValue() const;
    QString id() const { return rawValue(); }
    // The fixed English text shown to people.
    QString name() const;
    QString displayName() const { return name(); }
    // True for the stages from germinating to harvesting: the plant is in the ground and growing.
    bool active() const;

private:
    Case m_case = planned;
};

template <>
struct std::hash<PlantStatus> {
    size_t operator()(PlantStatus v) const noexcept { return std::hash<int>()(static_cast<int>(PlantStatus::Case(v))); }
};
