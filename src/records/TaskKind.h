#pragma once
// What a scheduled job does.
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

class TaskKind {
public:
    enum Case : unsigned char { water, feed, nutrient, maintenance };

    constexpr TaskKind() noexcept = default;
    constexpr TaskKind(Case c) noexcept : m_case(c) {}
    constexpr operator Case() const noexcept { return m_case; }

    static const std::array<TaskKind, 4>& allCases();
    // The case whose raw value equals `raw` exactly; nullopt for any other text.
    static std::optional<TaskKind> fromRaw(QStringView raw);

    QString rawValue() const;
    QString id() const { return rawValue(); }
    // The fixed English text shown to people.
    QString name() const;
    QString displayName() const { return name(); }
    // The icon name shown beside a task of this kind.
    QString symbol() const;

private:
    Case m_case = water;
};

template <>
struct std::hash<TaskKind> {
    size_t operator()(TaskKind v) const noexcept { return std::hash<int>()(static_cast<int>(TaskKind::Case(v))); }
};
