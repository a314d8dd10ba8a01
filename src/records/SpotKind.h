#pragma once
// The two kinds of growing place inside a zone.
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

class SpotKind {
public:
    enum Case : unsigned char { bed, bench };

    constexpr SpotKind() noexcept = default;
    constexpr SpotKind(Case c) noexcept : m_case(c) {}
    constexpr operator Case() const noexcept { return m_case; }

    static const std::array<SpotKind, 2>& allCases();
    // The case whose raw value equals `raw` exactly; nullopt for any other text.
    static std::optional<SpotKind> fromRaw(QStringView raw);

    QString rawValue() const;
    QString id() const { return rawValue(); }
    // The fixed English text shown to people.
    QString name() const;
    QString displayName() const { return name(); }

private:
    Case m_case = bed;
};

template <>
struct std::hash<SpotKind> {
    size_t operator()(SpotKind v) const noexcept { return std::hash<int>()(static_cast<int>(SpotKind::Case(v))); }
};
