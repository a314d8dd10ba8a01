#include "records/PlantStatus.h"

#include "records/EnumText.h"

namespace {
// Indexed by case number.
constexpr EnumText::Entry entries[] = {
    {"planned", u"Planned"},
    {"germinating", u"Germinating"},
    {"seedling", u"Seedling"},
    {"growing", u"Growing"},
    {"flowering", u"Flowering"},
    {"fruiting", u"Fruiting"},
    {"harvesting", u"Harvesting"},
    {"finished", u"Finished"},
    {"failed", u"Failed"},
};
static_assert(std::size(entries) == 9);
} // namespace

const std::array<PlantStatus, 9>& PlantStatus::allCases()
{
    static const std::array<PlantStatus, 9> all{PlantStatus::planned, PlantStatus::germinating, PlantStatus::seedling, PlantStatus::growing, PlantStatus::flowering, PlantStatus::fruiting, PlantStatus::harvesting, PlantStatus::finished, PlantStatus::failed};
    return all;
}

std::optional<PlantStatus> PlantStatus::fromRaw(QStringView raw)
{
    if (const auto i = EnumText::indexOf(entries, raw))
        return PlantStatus(static_cast<Case>(*i));
    return std::nullopt;
}

QString PlantStatus::rawValue() const
{
    return QLatin1String(entries[m_case].raw);
}

QString PlantStatus::name() const
{
    return QString::fromUtf16(entries[m_case].name);
}

bool PlantStatus::active() const
{
    switch (m_case) {
    case germinating:
    case seedling:
    case growing:
    case flowering:
    case fruiting:
    case harvesting:
        return true;
    case planned:
    case finished:
    case failed:
        break;
    }
    return false;
}
