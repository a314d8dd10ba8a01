#include "services/EditSheet.h"

namespace {

template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
// Spelled out for compilers without aggregate deduction (clang 14).
template <typename... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

QString withID(const char* prefix, qint64 id)
{
    return QLatin1String(prefix) + QString::number(id);
}

} // namespace

QString EditSheet::id() const
{
    return std::visit(
        Overloaded{
            [](const Greenhouse& r) { return withID("g", r.id); },
            [](const Zone& r) { return withID("z", r.id); },
            [](const Spot& r) { return withID("s", r.id); },
            [](const Plant& r) { return withID("p", r.id); },
            [](const Seed& r) { return withID("seed", r.id); },
            [](const GermTest& r) { return withID("germ", r.id); },
            [](const Reading& r) { return withID("r", r.id); },
            [](const OVTask& r) { return withID("t", r.id); },
            [](const PestRecord& r) { return withID("pest", r.id); },
            [](const Harvest& r) { return withID("h", r.id); },
            [](const LedgerEntry& r) { return withID("l", r.id); },
            [](const ImportCSV&) { return QStringLiteral("csv"); },
        },
        m_payload);
}
