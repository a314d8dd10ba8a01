#include "records/LedgerCategory.h"

#include "records/EnumText.h"

namespace {
// Indexed by case number.
constexpr EnumText::Entry entries[] = {
    {"seeds", u"Seeds & plants"},
    {"media", u"Soil & growing media"},
    {"fertilizer", u"Fertilizer & nutrients"},
    {"pestControl", u"Pest & disease control"},
    {"energy", u"Heating & electricity"},
    {"water", u"Water"},
    {"equipment", u"Equipment & tools"},
    {"repairs", u"Repairs & maintenance"},
    {"containers", u"Pots, trays & supplies"},
    {"other", u"Other"},
};
static_assert(std::size(entries) == 10);
} // namespace

const std::array<LedgerCategory, 10>& LedgerCategory::allCases()
{
    static const std::array<LedgerCategory, 10> all{LedgerCategory::seeds, LedgerCategory::media, LedgerCategory::fertilizer, LedgerCategory::pestControl, LedgerCategory::energy, LedgerCategory::water, LedgerCategory::equipment, LedgerCategory::repairs, LedgerCategory::containers, LedgerCategory::other};
    return all;
}

std::optional<LedgerCategory> LedgerCategory::fromRaw(QStringView raw)
{
    if (const auto i = EnumText::indexOf(entries, raw))
        return LedgerCategory(static_cast<Case>(*i));
    return std::nullopt;
}

QString LedgerCategory::rawValue() const
{
    return QLatin1String(entries[m_case].raw);
}

QString LedgerCategory::name() const
{
    return QString::fromUtf16(entries[m_case].name);
}
