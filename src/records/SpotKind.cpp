#include "records/SpotKind.h"

#include "records/EnumText.h"

namespace {
// Indexed by case number.
constexpr EnumText::Entry entries[] = {
    {"bed", u"Bed"},
    {"bench", u"Bench"},
};
static_assert(std::size(entries) == 2);
} // namespace

const std::array<SpotKind, 2>& SpotKind::allCases()
{
    static const std::array<SpotKind, 2> all{SpotKind::bed, SpotKind::bench};
    return all;
}

std::optional<SpotKind> SpotKind::fromRaw(QStringView raw)
{
    if (const auto i = EnumText::indexOf(entries, raw))
        return SpotKind(static_cast<Case>(*i));
    return std::nullopt;
}

QString SpotKind::rawValue() const
{
    return QLatin1String(entries[m_case].raw);
}

QString SpotKind::name() const
{
    return QString::fromUtf16(entries[m_case].name);
}
