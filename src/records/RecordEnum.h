#pragma once
// The shape every record enumeration shares. An enumeration names its cases and
// their texts in a small struct, then derives from RecordEnum over it and adds
// only what is its own:
//
//   struct SpotKindCases {
//       enum Case : unsigned char { bed, bench };
//   protected:
//       static constexpr EnumText::Entry texts[] = {{"bed", u"Bed"}, {"bench", u"Bench"}};
//   };
//   class SpotKind : public RecordEnum<SpotKind, SpotKindCases> {
//   public:
//       using RecordEnum::RecordEnum;
//   };
//
// Stored as the raw text, which is the case name exactly (case-sensitive);
// allCases() is the order pickers and exports list them in. A default-constructed
// value is the first case. The case names come in through the Cases base, so
// nothing here may be named like a case.

#include "records/EnumText.h"

#include <QLatin1String>
#include <QString>
#include <QStringView>
#include <array>
#include <concepts>
#include <cstddef>
#include <functional>
#include <iterator>
#include <optional>
#include <utility>

template <typename Derived, typename Cases>
class RecordEnum : public Cases {
    using CaseType = typename Cases::Case;
    static constexpr std::size_t caseCount = std::size(Cases::texts);

public:
    constexpr RecordEnum() noexcept = default;
    constexpr RecordEnum(CaseType c) noexcept : m_case(c) {}
    constexpr operator CaseType() const noexcept { return m_case; }

    static const std::array<Derived, caseCount>& allCases()
    {
        static const std::array<Derived, caseCount> all = []<std::size_t... I>(std::index_sequence<I...>) {
            return std::array<Derived, caseCount>{Derived(static_cast<CaseType>(I))...};
        }(std::make_index_sequence<caseCount>());
        return all;
    }

    // The case whose raw value equals `raw` exactly; nullopt for any other text.
    static std::optional<Derived> fromRaw(QStringView raw)
    {
        if (const auto i = EnumText::indexOf(Cases::texts, raw))
            return Derived(static_cast<CaseType>(*i));
        return std::nullopt;
    }

    QString rawValue() const { return QLatin1String(Cases::texts[m_case].raw); }
    QString id() const { return rawValue(); }
    // The fixed English text shown to people.
    QString name() const { return QString::fromUtf16(Cases::texts[m_case].name); }
    QString displayName() const { return name(); }

protected:
    CaseType m_case{};
};

namespace std {
template <typename T>
    requires requires { typename T::RecordEnum; } && derived_from<T, typename T::RecordEnum>
struct hash<T> {
    size_t operator()(T v) const noexcept { return hash<int>()(static_cast<int>(typename T::Case(v))); }
};
} // namespace std
