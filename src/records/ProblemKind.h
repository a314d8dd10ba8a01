#pragma once
// What sort of trouble a pest record describes.
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

class ProblemKind {
public:
    enum Case : unsigned char { pest, disease, disorder, other };

    constexpr ProblemKind() noexcept = default;
    constexpr ProblemKind(Case c) noexcept : m_case(c) {}
    constexpr operator Case() const noexcept { return m_case; }

    static const std::array<ProblemKind, 4>& allCases();
    // The case whose raw value equals `raw` exactly; nullopt for any other text.
    static std::optional<ProblemKind> fromRaw(QStringView raw);

    QString rawValue() const;
    QString id() const { return rawValue(); }
    // The fixed English text shown to people.
    QString name() const;
    QString displayName() const { return name(); }

private:
    Case m_case = pest;
};

template <>
struct std::hash<ProblemKind> {
    size_t operator()(ProblemKind v) const noexcept { return std::hash<int>()(static_cast<int>(ProblemKind::Case(v))); }
};
