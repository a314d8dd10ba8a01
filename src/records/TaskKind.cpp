#include "records/TaskKind.h"

#include "records/EnumText.h"

namespace {
// Indexed by case number.
constexpr EnumText::Entry entries[] = {
    {"water", u"Watering"},
    {"feed", u"Feeding"},
    {"nutrient", u"Nutrient / pH check"},
    {"maintenance", u"Maintenance"},
};
static_assert(std::size(entries) == 4);
} // namespace

const std::array<TaskKind, 4>& TaskKind::allCases()
{
    static const std::array<TaskKind, 4> all{TaskKind::water, TaskKind::feed, TaskKind::nutrient, TaskKind::maintenance};
    return all;
}

std::optional<TaskKind> TaskKind::fromRaw(QStringView raw)
{
    if (const auto i = EnumText::indexOf(entries, raw))
        return TaskKind(static_cast<Case>(*i));
    return std::nullopt;
}

QString TaskKind::rawValue() const
{
    return QLatin1String(entries[m_case].raw);
}

QString TaskKind::name() const
{
    return QString::fromUtf16(entries[m_case].name);
}

QString TaskKind::symbol() const
{
    switch (m_case) {
    case water:
        return QStringLiteral("drop.fill");
    case feed:
        return QStringLiteral("leaf.arrow.triangle.circlepath");
    case nutrient:
        return QStringLiteral("testtube.2");
    case maintenance:
        break;
    }
    return QStringLiteral("wrench.and.screwdriver.fill");
}
