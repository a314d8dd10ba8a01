#include "modes/SelfTestReference.h"

#include "modes/VideoRules.h"
#include "records/OVDay.h"
#include "records/OVInfo.h"
#include "services/ReferenceLibrary.h"

#include <QSet>
#include <QStringList>
#include <algorithm>
#include <array>

namespace OVSelfTest {

namespace {

// The counts are constants on purpose: a row lost from the shipped files fails.
constexpr int kExpectedCrops = 42;
constexpr int kExpectedSources = 34;
constexpr int kExpectedVideos = 0;

// The extension hosts that the shipped sources file cites.
const std::array<QLatin1String, 4> kSourceHosts{
    QLatin1String("cmg.extension.colostate.edu"),
    QLatin1String("secure.caes.uga.edu"),
    QLatin1String("extension.oregonstate.edu"),
    QLatin1String("aggie-horticulture.tamu.edu"),
};

bool is(const std::optional<double>& value, double expected)
{
    return value && *value == expected;
}

bool plausibleF(const std::optional<double>& value)
{
    return !value || (*value >= 20 && *value <= 120);
}

OVDay day(qint64 y, int m, int d)
{
    return OVDay(y, m, d);
}

} // namespace

void referenceTests(OVTestRun& run)
{
    referenceTests(run, ReferenceLibrary::shared());
}

void referenceTests(OVTestRun& run, const ReferenceLibrary& lib)
{
    run.begin(QStringLiteral("Crop Library and video list (bundled data, sources, no invented numbers)"));

    const QList<RefCrop>& crops = lib.crops();
    const QList<GrowVideo>& videos = lib.videos();

    // 1
    {
        QStringList list;
        bool clean = lib.reports().size() == 3;
        for (const DataLoadReport& r : lib.reports()) {
            list.append(r.file + QLatin1Char(' ') + QString::number(r.loaded) + QLatin1Char('/') +
                        QString::number(r.rows));
            clean = clean && r.problems.isEmpty() && r.rows == r.loaded;
        }
        run.check(clean, QStringLiteral("all 3 data files load with no bad rows: ") +
                             list.join(QStringLiteral(", ")));
    }
    // 2 to 4
    run.check(crops.size() == kExpectedCrops,
              QStringLiteral("42 crops in the library (about 40 asked for): ") + QString::number(crops.size()));
    run.check(lib.sources().size() == kExpectedSources,
              QStringLiteral("34 sources: ") + QString::number(lib.sources().size()));
    run.check(videos.size() == kExpectedVideos, QString::number(kExpectedVideos) +
                                                     QStringLiteral(" videos: ") +
                                                     QString::number(videos.size()));
    // 5
    {
        QSet<QString> ids;
        for (const RefCrop& c : crops)
            ids.insert(c.id);
        run.check(ids.size() == crops.size(), QStringLiteral("crop ids are unique"));
    }
    // 6
    {
        bool ok = true;
        for (const RefSource& s : lib.sources()) {
            const QString host = s.url.host();
            ok = ok && s.url.scheme() == QLatin1String("https") &&
                 std::find(kSourceHosts.begin(), kSourceHosts.end(), host) != kSourceHosts.end() &&
                 s.checked == OVInfo::dataCheckedISO;
        }
        run.check(ok, QStringLiteral("every source is a university extension web page (https) with the date checked"));
    }
    // 7 to 11
    {
        bool sourced = true, germSourced = true, basis = true, plausible = true, ordered = true;
        for (const RefCrop& c : crops) {
            sourced = sourced && !c.tempSources.isEmpty() && !c.spacingSources.isEmpty() &&
                      !c.maturitySources.isEmpty() && c.maturityLow.has_value();
            if (c.germMin || c.germOpt || c.germMax)
                germSourced = germSourced && !c.germSources.isEmpty();
            if (c.growLow || c.growHigh)
                basis = basis && !c.growBasis.isEmpty();
            for (const auto* v : {&c.growLow, &c.growHigh, &c.nightLow, &c.nightHigh, &c.germMin,
                                  &c.germOpt, &c.germMax})
                plausible = plausible && plausibleF(*v);
            ordered = ordered && c.maturityLow && *c.maturityLow > 0 &&
                      (!c.maturityHigh || *c.maturityHigh >= *c.maturityLow);
        }
        run.check(sourced, QStringLiteral("every crop names a source for temperatures, spacing and days to maturity"));
        run.check(germSourced, QStringLiteral("every soil-temperature number names its source"));
        run.check(basis, QStringLiteral("every growing-temperature number says what it means (day / mean / range)"));
        run.check(plausible, QStringLiteral("all temperatures are plausible °F values"));
        run.check(ordered, QStringLiteral("days to maturity ranges are positive and in order"));
    }

    const std::optional<RefCrop> tomato = lib.crop(QStringLiteral("tomato"));
    // 12, 13
    run.check(tomato && is(tomato->germMin, 50) && is(tomato->germOpt, 80) && is(tomato->germMax, 100) &&
                  tomato->maturityLow == 65 && tomato->maturityFrom == QLatin1String("transplant") &&
                  tomato->spacing == QLatin1String("24 in (trellised)"),
              QStringLiteral("tomato = CSU table 2 (50/80/100°F, 24 in trellised, 65 days from transplant)"));
    run.check(tomato && is(tomato->growLow, 80) && is(tomato->growHigh, 85) && is(tomato->nightLow, 60) &&
                  is(tomato->nightHigh, 70),
              QStringLiteral("tomato temperatures = Texas A&M guide (80-85°F days, 60-70°F nights)"));
    // 14
    {
        const std::optional<RefCrop> pumpkin = lib.crop(QStringLiteral("pumpkin"));
        run.check(pumpkin && is(pumpkin->germMin, 60) && is(pumpkin->germOpt, 95) &&
                      is(pumpkin->germMax, 100) && pumpkin->maturityLow == 85 && pumpkin->maturityHigh == 120,
                  QStringLiteral("pumpkin = Harrington table + UGA chart"));
    }
    // 15: a crop the library lacks passes its half.
    {
        const std::optional<RefCrop> basil = lib.crop(QStringLiteral("basil"));
        const std::optional<RefCrop> garlic = lib.crop(QStringLiteral("garlic"));
        run.check((!basil || !basil->growLow) && (!garlic || !garlic->germMin),
                  QStringLiteral("where the sources give no number, the library leaves it empty"));
    }
    // 16
    {
        const std::optional<RefCrop> lettuce = lib.crop(QStringLiteral("lettuce-leaf"));
        const std::optional<RefCrop> spinach = lib.crop(QStringLiteral("spinach"));
        run.check(lettuce && is(lettuce->germMin, 35) && spinach && spinach->maturityLow == 40,
                  QStringLiteral("lettuce / spinach match CSU table 1"));
    }
    // 17, 18
    run.check(tomato && tomato->expectedHarvest(day(2026, 3, 1), day(2026, 5, 1)) == day(2026, 7, 5),
              QStringLiteral("tomato expected harvest counts 65 days from the transplant date (May 1 → Jul 5)"));
    {
        const std::optional<RefCrop> carrot = lib.crop(QStringLiteral("carrot"));
        run.check(carrot && carrot->expectedHarvest(day(2026, 4, 1), std::nullopt) == day(2026, 6, 10),
                  QStringLiteral("carrot counts 70 days from seeding"));
    }
    // 19
    {
        const std::optional<RefCrop> a = lib.match(QStringLiteral("Tomato"));
        const std::optional<RefCrop> b = lib.match(QStringLiteral("radishes"));
        const std::optional<RefCrop> c = lib.match(QStringLiteral("Peppers"));
        run.check(a && b && c && a->id == QLatin1String("tomato") && b->id == QLatin1String("radish") &&
                      c->id == QLatin1String("pepper"),
                  QStringLiteral("crop names match the library (Tomato, radishes, Peppers)"));
    }
    // 20 to 23
    {
        const VideoRules::Findings found = VideoRules::check(videos);
        const QStringList labels = VideoRules::labels(found);
        run.check(found.wellFormed, labels[0]);
        run.check(found.noDuplicates, labels[1]);
        run.check(found.approved, labels[2]);
        run.check(found.enoughUniversity(), labels[3]);
    }
}

} // namespace OVSelfTest
