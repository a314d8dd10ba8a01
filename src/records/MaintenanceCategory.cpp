#include "records/MaintenanceCategory.h"

#include "records/EnumText.h"

namespace {
// Indexed by case number.
constexpr EnumText::Entry entries[] = {
    {"vents", u"Vents"},
    {"heaters", u"Heaters"},
    {"fans", u"Fans & cooling"},
    {"filters", u"Filters"},
    {"cleaning", u"Cleaning & sanitation"},
    {"glazing", u"Glazing (glass / plastic / panels)"},
    {"irrigation", u"Irrigation lines"},
    {"structure", u"Frame & doors"},
    {"other", u"Other"},
};
static_assert(std::size(entries) == 9);
} // namespace

const std::array<MaintenanceCategory, 9>& MaintenanceCategory::allCases()
{
    static const std::array<MaintenanceCategory, 9> all{MaintenanceCategory::vents, MaintenanceCategory::heaters, MaintenanceCategory::fans, MaintenanceCategory::filters, MaintenanceCategory::cleaning, MaintenanceCategory::glazing, MaintenanceCategory::irrigation, MaintenanceCategory::structure, MaintenanceCategory::other};
    return all;
}

std::optional<MaintenanceCategory> MaintenanceCategory::fromRaw(QStringView raw)
{
    if (const auto i = EnumText::indexOf(entries, raw))
        return MaintenanceCategory(static_cast<Case>(*i));
    return std::nullopt;
}

QString MaintenanceCategory::rawValue() const
{
    return QLatin1String(entries[m_case].raw);
}

QString MaintenanceCategory::name() const
{
    return QString::fromUtf16(entries[m_case].name);
}
