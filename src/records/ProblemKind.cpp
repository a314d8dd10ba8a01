#include "records/ProblemKind.h"

#include "records/EnumText.h"

namespace {
// Indexed by case number.
constexpr EnumText::Entry entries[] = {
    {"pest", u"Pest"},
    {"disease", u"Disease"},
    {"disorder", u"Disorder (nutrient, heat, cold\u2026)"},
    {"other", u"Other"},
};
static_assert(std::size(entries) == 4);
} // namespace

const std::array<ProblemKind, 4>& ProblemKind::allCases()
{
    static const std::array<ProblemKind, 4> all{ProblemKind::pest, ProblemKind::disease, ProblemKind::disorder, ProblemKind::other};
    return all;
}

std::optional<ProblemKind> ProblemKind::fromRaw(QStringView raw)
{
    if (const auto i = EnumText::indexOf(entries, raw))
        return ProblemKind(static_cast<Case>(*i));
    return std::nullopt;
}

QString ProblemKind::rawValue() const
{
    return QLatin1String(entries[m_case].raw);
}

QString ProblemKind::name() const
{
    return QString::fromUtf16(entries[m_case].name);
}
