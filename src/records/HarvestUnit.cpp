#include "records/HarvestUnit.h"

#include "records/EnumText.h"

namespace {
// Indexed by case number.
constexpr EnumText::Entry entries[] = {
    {"lb", u"lb"},
    {"oz", u"oz"},
    {"kg", u"kg"},
    {"g", u"g"},
    {"count", u"count (each)"},
};
static_assert(std::size(entries) == 5);
} // namespace

const std::array<HarvestUnit, 5>& HarvestUnit::allCases()
{
    static const std::array<HarvestUnit, 5> all{HarvestUnit::lb, HarvestUnit::oz, HarvestUnit::kg, HarvestUnit::g, HarvestUnit::count};
    return all;
}

std::optional<HarvestUnit> HarvestUnit::fromRaw(QStringView raw)
{
    if (const auto i = EnumText::indexOf(entries, raw))
        return HarvestUnit(static_cast<Case>(*i));
    return std::nullopt;
}

QString HarvestUnit::rawValue() const
{
    return QLatin1String(entries[m_case].raw);
}

QString HarvestUnit::name() const
{
    return QString::fromUtf16(entries[m_case].name);
}

std::optional<double> HarvestUnit::pounds() const
{
    switch (m_case) {
    case lb:
        return 1.0;
    case oz:
        return 0.0625;
    case kg:
        return 2.2046226218;
    case g:
        return 0.0022046226218;
    case count:
        break;
    }
    return std::nullopt;
}
