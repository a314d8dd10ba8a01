#include "services/ReferenceLibrary.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

using testsupport::ids;

namespace {

const QByteArray kSourcesHeader = "key,publisher,title,url,checked\n";
const QByteArray kGoodSource = "s1,Colorado State University Extension,T,https://example.edu/a,2026-12-06\n";
const QByteArray kCropsHeader =
    "id,name,season,grow_temps,grow_low_f,grow_high_f,grow_basis,night_low_f,night_high_f,"
    "germ_min_f,germ_opt_f,germ_max_f,spacing,depth,days_to_germinate,maturity_low,maturity_high,"
    "maturity_from,transplant_weeks,notes,temp_source,germ_source,spacing_source,maturity_source\n";
const QByteArray kVideosHeader = "id,title,channel,channel_url,published,seconds,topic,url,checked\n";

// A crop row with the given id, name, maturity cells and source cells.
QByteArray cropRow(const QByteArray& id, const QByteArray& name, const QByteArray& matLow = "60",
                   const QByteArray& tempSource = "s1", const QByteArray& from = "seed")
{
    return id + "," + name + ",warm,t,60,80,day,50,60,50,80,90,6 in,1 in,5-10," + matLow + ",," + from +
           ",,n," + tempSource + ",s1,s1,s1\n";
}

QByteArray videoRow(const QByteArray& id, const QByteArray& url, const QByteArray& topic = "Tomatoes")
{
    return id + ",Title,Some Extension,https://www.youtube.com/@x,2025-05-01,754," + topic + "," + url +
           ",2026-12-06\n";
}

class Fixture {
public:
    void write(const QString& name, const QByteArray& bytes)
    {
        ASSERT_TRUE(testsupport::writeAll(dir.file(name), bytes));
    }
    ReferenceLibrary load() const { return ReferenceLibrary(dir.path()); }
    testsupport::ScratchDir dir;
};

const DataLoadReport* reportFor(const ReferenceLibrary& lib, const QString& file)
{
    for (const DataLoadReport& r : lib.reports()) {
        if (r.file == file)
            return &r;
    }
    return nullptr;
}

} // namespace

TEST(ReferenceLibraryFiles, EmptyFolderGivesThreeMissingReports)
{
    Fixture f;
    const ReferenceLibrary lib = f.load();
    ASSERT_EQ(lib.reports().size(), 3);
    const QStringList order{QStringLiteral("reference-sources.csv"), QStringLiteral("reference-crops.csv"),
                            QStringLiteral("videos.csv")};
    for (qsizetype i = 0; i < 3; ++i) {
        EXPECT_EQ(lib.reports()[i], (DataLoadReport{order[i], 0, 0, {QStringLiteral("file missing")}}));
    }
    EXPECT_TRUE(lib.crops().isEmpty());
    EXPECT_TRUE(lib.sources().isEmpty());
    EXPECT_TRUE(lib.videos().isEmpty());
    EXPECT_FALSE(lib.match(QStringLiteral("Tomatoes")).has_value());
    EXPECT_TRUE(lib.videoTopics().isEmpty());
}

TEST(ReferenceLibraryFiles, NotUtf8IsMissingAndTheOthersStillLoad)
{
    Fixture f;
    f.write(QStringLiteral("reference-sources.csv"), kSourcesHeader + kGoodSource);
    f.write(QStringLiteral("reference-crops.csv"), kCropsHeader + "tomato,Tomat\xff\xfe,warm\n");
    f.write(QStringLiteral("videos.csv"), kVideosHeader);
    const ReferenceLibrary lib = f.load();
    EXPECT_EQ(*reportFor(lib, QStringLiteral("reference-crops.csv")),
              (DataLoadReport{QStringLiteral("reference-crops.csv"), 0, 0, {QStringLiteral("file missing")}}));
    EXPECT_EQ(lib.sources().size(), 1);
    EXPECT_EQ(*reportFor(lib, QStringLiteral("videos.csv")),
              (DataLoadReport{QStringLiteral("videos.csv"), 0, 0, {}}));
}

TEST(ReferenceLibraryFiles, EmptyFileGivesNoReportAndAFolderIsMissing)
{
    Fixture f;
    f.write(QStringLiteral("reference-sources.csv"), kSourcesHeader + kGoodSource);
    f.write(QStringLiteral("reference-crops.csv"), "\n  \n");
    ASSERT_TRUE(QDir(f.dir.path()).mkdir(QStringLiteral("videos.csv")));
    const ReferenceLibrary lib = f.load();
    EXPECT_EQ(reportFor(lib, QStringLiteral("reference-crops.csv")), nullptr);
    ASSERT_EQ(lib.reports().size(), 2);
    EXPECT_EQ(lib.reports()[1].problems, QStringList{QStringLiteral("file missing")});
}

TEST(ReferenceLibrarySources, RejectedRowsNameTheirLine)
{
    Fixture f;
    f.write(QStringLiteral("reference-sources.csv"),
            kSourcesHeader + kGoodSource +                                   // line 2
                "s2,P,T,http://example.edu/b,2026-12-06\n"                   // line 3: not https
                "s3,P,T,https://example.edu/c,2026-02-30\n"                  // line 4: 30 February
                "s4,P,T,HTTPS://example.edu/d,2026-12-06\n"                  // line 5: scheme case
                ",P,T,https://example.edu/e,2026-12-06\n"                    // line 6: no key
                "s5,P,T,https://example.edu/f\n"                             // line 7: no checked
                "s1,Purdue Extension,Newer,https://example.edu/g,2026-1-5\n"); // line 8: replaces s1
    const ReferenceLibrary lib = f.load();
    const DataLoadReport* r = reportFor(lib, QStringLiteral("reference-sources.csv"));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->rows, 7);
    EXPECT_EQ(r->loaded, 1);
    EXPECT_EQ(r->problems, (QStringList{QStringLiteral("line 3"), QStringLiteral("line 4"),
                                        QStringLiteral("line 5"), QStringLiteral("line 6"),
                                        QStringLiteral("line 7")}));
    const RefSource s1 = lib.sources().value(QStringLiteral("s1"));
    EXPECT_EQ(s1.title, QStringLiteral("Newer"));
    EXPECT_EQ(s1.checked, QStringLiteral("2026-1-5")); // as written
    EXPECT_EQ(s1.shortLabel(), QStringLiteral("Purdue"));
}

TEST(ReferenceLibrarySources, ShortLabels)
{
    RefSource s;
    s.publisher = QStringLiteral("University of Georgia Extension");
    EXPECT_EQ(s.shortLabel(), QStringLiteral("UGA"));
    s.publisher = QStringLiteral("Texas A&M AgriLife Extension");
    EXPECT_EQ(s.shortLabel(), QStringLiteral("Texas A&M"));
    s.publisher = QStringLiteral("Oregon State University Extension Service");
    EXPECT_EQ(s.shortLabel(), s.publisher);
    s.publisher = QStringLiteral("colorado State"); // the prefix test is case-sensitive
    EXPECT_EQ(s.shortLabel(), s.publisher);
}

TEST(ReferenceLibraryCrops, ProblemTexts)
{
    Fixture f;
    f.write(QStringLiteral("reference-sources.csv"), kSourcesHeader + kGoodSource);
    QByteArray crops = kCropsHeader;
    crops += cropRow("okra", "Okra");                              // line 2
    crops += "short,Short,warm\n";                                 // line 3
    crops += cropRow("bad", "Bad", "60", "x;s1; y;x");             // line 4
    crops += cropRow("quote", "Quote", "60", "\"a\"\"b\\c\"");     // line 5
    crops += cropRow("noname", "");                                // line 6
    crops += cropRow("", "No id");                                 // line 7
    f.write(QStringLiteral("reference-crops.csv"), crops);
    const ReferenceLibrary lib = f.load();
    const DataLoadReport* r = reportFor(lib, QStringLiteral("reference-crops.csv"));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->rows, 6);
    EXPECT_EQ(r->loaded, 1);
    ASSERT_EQ(r->problems.size(), 5);
    EXPECT_EQ(r->problems[0], QStringLiteral("line 3: 3 columns"));
    EXPECT_EQ(r->problems[1], QStringLiteral("line 4: bad unknown source [\"x\", \"y\"]"));
    EXPECT_EQ(r->problems[2], QStringLiteral("line 5: quote unknown source [\"a\\\"b\\\\c\"]"));
    EXPECT_TRUE(r->problems[3].startsWith(QStringLiteral("line 6: ")));
    EXPECT_TRUE(r->problems[4].startsWith(QStringLiteral("line 7: ")));
    EXPECT_EQ(ids(lib.crops()), QStringList{QStringLiteral("okra")});
}

TEST(ReferenceLibraryCrops, WithoutSourcesEveryCitingCropIsRejected)
{
    Fixture f;
    f.write(QStringLiteral("reference-crops.csv"), kCropsHeader + cropRow("okra", "Okra"));
    const ReferenceLibrary lib = f.load();
    EXPECT_TRUE(lib.crops().isEmpty());
    EXPECT_EQ(reportFor(lib, QStringLiteral("reference-crops.csv"))->problems,
              QStringList{QStringLiteral("line 2: okra unknown source [\"s1\"]")});
}

TEST(ReferenceLibraryCrops, FieldsNumbersKeysAndOrder)
{
    Fixture f;
    f.write(QStringLiteral("reference-sources.csv"),
            kSourcesHeader + kGoodSource + "a,P,T,https://e.edu/a,2026-12-06\nb,P,T,https://e.edu/b,2026-12-06\n");
    QByteArray crops = kCropsHeader;
    crops += cropRow("beet", "beet", "65.9", "a; b;;a");
    crops += cropRow("chard", "Chard", "abc");
    crops += cropRow("apple", "apple", " 60");
    crops += cropRow("dup", "Zed", "1e1");
    crops += cropRow("dup", "Zeal", "-0.5");
    f.write(QStringLiteral("reference-crops.csv"), crops);
    const ReferenceLibrary lib = f.load();
    EXPECT_EQ(ids(lib.crops()), (QStringList{QStringLiteral("apple"), QStringLiteral("beet"),
                                             QStringLiteral("chard"), QStringLiteral("dup"),
                                             QStringLiteral("dup")}));
    const std::optional<RefCrop> beet = lib.crop(QStringLiteral("beet"));
    ASSERT_TRUE(beet);
    EXPECT_EQ(beet->maturityLow, 65);
    EXPECT_EQ(beet->tempSources, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("a")}));
    EXPECT_EQ(beet->allSourceKeys(), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("s1")}));
    EXPECT_EQ(beet->growLow, 60.0);
    EXPECT_EQ(beet->spacing, QStringLiteral("6 in"));
    EXPECT_FALSE(lib.crop(QStringLiteral("chard"))->maturityLow.has_value());
    EXPECT_FALSE(lib.crop(QStringLiteral("apple"))->maturityLow.has_value()); // no surrounding spaces
    // Same id twice: both load; lookup gives the first in library order.
    EXPECT_EQ(lib.crop(QStringLiteral("dup"))->name, QStringLiteral("Zeal"));
    EXPECT_EQ(lib.crop(QStringLiteral("dup"))->maturityLow, 0);
    EXPECT_FALSE(lib.crop(QStringLiteral("Beet")).has_value()); // exact, case-sensitive
}

TEST(ReferenceLibraryCrops, SortIsByCodePointsNotLocale)
{
    Fixture f;
    f.write(QStringLiteral("reference-sources.csv"), kSourcesHeader + kGoodSource);
    // U+FB01 (a BMP ligature) sorts before U+1F345 by code point, after it by UTF-16 units.
    f.write(QStringLiteral("reference-crops.csv"),
            kCropsHeader + cropRow("emoji", "\xF0\x9F\x8D\x85") + cropRow("lig", "\xEF\xAC\x81") +
                cropRow("eclair", "\xC3\xA9" "clair") + cropRow("zucchini", "Zucchini"));
    const ReferenceLibrary lib = f.load();
    EXPECT_EQ(ids(lib.crops()), (QStringList{QStringLiteral("zucchini"), QStringLiteral("eclair"),
                                             QStringLiteral("lig"), QStringLiteral("emoji")}));
}

TEST(ReferenceLibraryVideos, HostTopicAndCells)
{
    Fixture f;
    QByteArray videos = kVideosHeader;
    videos += videoRow("v1", "https://www.youtube.com/watch?v=v1");          // line 2
    videos += videoRow("v2", "https://vimeo.com/123");                       // line 3: other host
    videos += videoRow("v3", "http://www.youtube.com/watch?v=v3", "");       // line 4: plain http is fine
    videos += videoRow("v4", "https://WWW.YOUTUBE.COM/watch?v=v4");          // line 5: host case
    videos += videoRow("v5", "not a url");                                   // line 6
    videos += "v6,,Chan,,2025-01-01,1,T,https://www.youtube.com/watch?v=v6,\n"; // line 7: no title
    videos += "v7,T,Chan,::bad,2025-02-30,1,T,https://www.youtube.com/watch?v=v7,\n"; // line 8: bad day
    videos += "v8,T,Chan,::bad,2025-01-01,12x,T,https://www.youtube.com/watch?v=v8\n"; // line 9
    f.write(QStringLiteral("videos.csv"), videos);
    const ReferenceLibrary lib = f.load();
    const DataLoadReport* r = reportFor(lib, QStringLiteral("videos.csv"));
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->problems, (QStringList{QStringLiteral("line 3"), QStringLiteral("line 5"),
                                        QStringLiteral("line 6"), QStringLiteral("line 7"),
                                        QStringLiteral("line 8")}));
    ASSERT_EQ(lib.videos().size(), 3);
    const GrowVideo& v1 = lib.videos()[0];
    EXPECT_EQ(v1.seconds, 754);
    EXPECT_EQ(v1.lengthText(), QStringLiteral("12:34"));
    EXPECT_EQ(v1.channelURL, QUrl(QStringLiteral("https://www.youtube.com/@x")));
    EXPECT_EQ(v1.checked, QStringLiteral("2026-12-06"));
    EXPECT_EQ(lib.videos()[1].topic, QString()); // an empty cell is an empty topic
    const GrowVideo& v8 = lib.videos()[2];
    EXPECT_EQ(v8.seconds, 0);
    EXPECT_FALSE(v8.channelURL.has_value());
    EXPECT_EQ(v8.checked, QString()); // the row is one cell short: absent
    EXPECT_EQ(lib.videoTopics(), (QStringList{QStringLiteral("Tomatoes"), QString(), QStringLiteral("T")}));
}

TEST(ReferenceLibraryVideos, NoTopicColumnMeansOther)
{
    Fixture f;
    f.write(QStringLiteral("videos.csv"),
            "id,title,channel,published,url\nv1,T,C,2025-01-01,https://www.youtube.com/watch?v=v1\n");
    const ReferenceLibrary lib = f.load();
    ASSERT_EQ(lib.videos().size(), 1);
    EXPECT_EQ(lib.videos()[0].topic, QStringLiteral("Other"));
    EXPECT_EQ(lib.videoTopics(), QStringList{QStringLiteral("Other")});
}

TEST(GrowVideoLength, Texts)
{
    GrowVideo v;
    const std::pair<qint64, const char*> cases[] = {
        {0, "0:00"}, {59, "0:59"}, {754, "12:34"}, {3600, "1:00:00"}, {3725, "1:02:05"}, {36000, "10:00:00"}};
    for (const auto& [seconds, text] : cases) {
        v.seconds = seconds;
        EXPECT_EQ(v.lengthText(), QString::fromLatin1(text)) << seconds;
    }
}

TEST(RefCropMaturity, TextAndExpectedHarvest)
{
    RefCrop c;
    c.maturityHigh = 80;
    EXPECT_EQ(c.maturityText(), QStringLiteral("—"));
    EXPECT_FALSE(c.expectedHarvest(OVDay(2026, 5, 1), OVDay(2026, 5, 1)));

    c.maturityLow = 60;
    c.maturityHigh = 75;
    c.maturityFrom = QStringLiteral("seed");
    EXPECT_EQ(c.maturityText(), QStringLiteral("60–75 days from seeding"));
    c.maturityHigh = 60;
    c.maturityFrom = QString();
    EXPECT_EQ(c.maturityText(), QStringLiteral("60 days from planting (seed or transplant)"));

    c.maturityLow = 65;
    c.maturityHigh.reset();
    c.maturityFrom = QStringLiteral("transplant");
    EXPECT_EQ(c.maturityText(), QStringLiteral("65 days from transplanting"));
    EXPECT_EQ(c.expectedHarvest(std::nullopt, OVDay(2026, 5, 1)), OVDay(2026, 7, 5));
    EXPECT_EQ(c.expectedHarvest(OVDay(2026, 3, 1), std::nullopt), OVDay(2026, 5, 5));
    EXPECT_FALSE(c.expectedHarvest(std::nullopt, std::nullopt));

    c.maturityFrom = QStringLiteral("seed");
    EXPECT_EQ(c.expectedHarvest(OVDay(2026, 3, 1), OVDay(2026, 5, 1)), OVDay(2026, 5, 5));
    EXPECT_EQ(c.expectedHarvest(std::nullopt, OVDay(2026, 5, 1)), OVDay(2026, 7, 5));
}

TEST(ReferenceLibraryLookup, MatchOnShippedData)
{
    const ReferenceLibrary lib(QStringLiteral(ORVANE_SOURCE_DATA_DIR));
    const auto idOf = [&lib](const char* name) {
        const std::optional<RefCrop> c = lib.match(QString::fromUtf8(name));
        return c ? c->id : QStringLiteral("<none>");
    };
    EXPECT_EQ(idOf("Tomatoes"), QStringLiteral("tomato"));
    EXPECT_EQ(idOf("  radishes "), QStringLiteral("radish"));
    EXPECT_EQ(idOf("Peppers"), QStringLiteral("pepper"));
    EXPECT_EQ(idOf("\tCARROTS\n"), QStringLiteral("carrot"));
    EXPECT_EQ(idOf("s"), QStringLiteral("<none>"));
    EXPECT_EQ(idOf(""), QStringLiteral("<none>"));
    EXPECT_EQ(idOf("   "), QStringLiteral("<none>"));
    EXPECT_EQ(idOf("Sweet Potatoes"), QStringLiteral("sweet-potato"));
    // No equal key: the first crop in library order whose key begins with it.
    EXPECT_EQ(idOf("pep"), QStringLiteral("pepper"));
    EXPECT_EQ(idOf("Lettuce"), QStringLiteral("lettuce-head")); // "lettuce, butterhead…" sorts first
}

TEST(ReferenceLibraryLookup, SearchOnShippedData)
{
    const ReferenceLibrary lib(QStringLiteral(ORVANE_SOURCE_DATA_DIR));
    EXPECT_EQ(ids(lib.search(QStringLiteral("  TOM "))), QStringList{QStringLiteral("tomato")});
    EXPECT_EQ(lib.search(QStringLiteral(" \t")).size(), lib.crops().size());
    // Ids are searched too: "lettuce-leaf" stands only in an id.
    EXPECT_EQ(ids(lib.search(QStringLiteral("lettuce-leaf"))), QStringList{QStringLiteral("lettuce-leaf")});
    EXPECT_TRUE(lib.search(QStringLiteral("no such crop")).isEmpty());
    EXPECT_EQ(lib.search(QStringLiteral("warm")).size(),
              std::count_if(lib.crops().begin(), lib.crops().end(),
                            [](const RefCrop& c) { return c.season == QLatin1String("warm"); }));
}

TEST(ReferenceLibraryFolder, EnvironmentAndFallback)
{
    {
        testsupport::EnvGuard env("OV_DATA_DIR", "relative/dir");
        EXPECT_EQ(ReferenceLibrary::folder(), QDir::current().absoluteFilePath(QStringLiteral("relative/dir")));
    }
    testsupport::EnvGuard env("OV_DATA_DIR", "");
    const QString fallback = ReferenceLibrary::folder();
    EXPECT_FALSE(fallback.isEmpty());
    EXPECT_TRUE(fallback.endsWith(QStringLiteral("/data"))) << fallback.toStdString();
}
