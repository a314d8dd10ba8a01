#include "services/Screen.h"

#include <iterator>

namespace {

struct ScreenRow {
    const char* raw;
    const char* title;
    const char* symbol;
};

// Indexed by Screen::Value.
constexpr ScreenRow kRows[] = {
    {"today", "Today", "sun.horizon.fill"},
    {"greenhouses", "Greenhouses", "house.lodge.fill"},
    {"plants", "Plants & Crops", "leaf.fill"},
    {"seeds", "Seed Inventory", "circle.grid.cross.fill"},
    {"harvests", "Harvests", "basket.fill"},
    {"climate", "Climate", "thermometer.sun.fill"},
    {"schedules", "Watering & Feeding", "drop.fill"},
    {"maintenance", "Maintenance", "wrench.and.screwdriver.fill"},
    {"pests", "Pests & Diseases", "ladybug.fill"},
    {"supplies", "Supplies & Costs", "dollarsign.circle.fill"},
    {"reports", "Reports", "chart.bar.doc.horizontal.fill"},
    {"library", "Crop Library", "books.vertical.fill"},
    {"videos", "Video Library", "play.rectangle.fill"},
    {"settings", "Settings & Backup", "gearshape.fill"},
};

static_assert(std::size(kRows) == Screen::settings + 1, "one row per screen");

} // namespace

std::optional<Screen> Screen::fromRaw(const QString& raw)
{
    for (const Screen s : allCases()) {
        if (s.rawValue() == raw)
            return s;
    }
    return std::nullopt;
}

const QList<Screen>& Screen::allCases()
{
    static const QList<Screen> cases = [] {
        QList<Screen> list;
        for (int i = today; i <= settings; ++i)
            list.append(Screen(Value(i)));
        return list;
    }();
    return cases;
}

const QList<ScreenGroup>& Screen::groups()
{
    static const QList<ScreenGroup> list = {
        {QStringLiteral("Grow"), {today, greenhouses, plants, seeds, harvests}},
        {QStringLiteral("Care"), {climate, schedules, maintenance, pests}},
        {QStringLiteral("Records"), {supplies, reports}},
        {QStringLiteral("Learn"), {library, videos}},
        {QString(), {settings}},
    };
    return list;
}

QString Screen::rawValue() const { return QString::fromLatin1(kRows[m_value].raw); }

QString Screen::title() const { return QString::fromUtf8(kRows[m_value].title); }

QString Screen::symbol() const { return QString::fromLatin1(kRows[m_value].symbol); }

QString ScreenGroup::id() const
{
    QString text = name;
    for (const Screen s : screens)
        text += s.rawValue();
    return text;
}
