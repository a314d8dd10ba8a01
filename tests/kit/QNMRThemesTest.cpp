#include "kit/OVThemes.h"
#include "kit/QNMRThemes.h"
#include "records/OVPrefs.h"

#include "TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>

using testsupport::ids;

namespace {

// The catalogue is process-wide; every test starts from the kit's own default and
// no stored choice. Registered themes cannot be taken back, so tests register the
// product's themes themselves and never rely on their absence.
class QNMRThemesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QNMRThemes::setDefaultID("cobalt-gunmetal");
        OVPrefs::remove(QNMRThemes::key);
    }
    void TearDown() override { SetUp(); }
};

} // namespace

TEST_F(QNMRThemesTest, BuiltInOrderIsFixed)
{
    EXPECT_EQ(ids(QNMRThemes::builtIn()),
              QStringList({"cobalt-gunmetal", "candy-red-titanium", "rose-gold", "lavender-pearl",
                           "midnight-black", "brushed-gray"}));
}

TEST_F(QNMRThemesTest, RegisteringTheExtrasTwiceLeavesEight)
{
    QNMRThemes::registerThemes(OVThemes::extras());
    QNMRThemes::registerThemes(OVThemes::extras());
    const QStringList all = ids(QNMRThemes::all());
    ASSERT_EQ(all.size(), 8);
    EXPECT_EQ(all.mid(6), QStringList({"redwood-grove", "cedar-sunrise"}));
}

TEST_F(QNMRThemesTest, FirstThemeToClaimAnIdKeepsIt)
{
    QNMRThemes::registerThemes(OVThemes::extras());
    QNMRTheme impostor = QNMRThemes::builtIn().at(2); // rose-gold
    impostor.bg = QNMRTheme::RGB::hex(0xFFFFFF);
    impostor.name = "Fake Rose";
    QNMRTheme grove = OVThemes::extras().first();
    grove.name = "Second Grove";

    QNMRThemes::registerThemes({impostor, grove});
    EXPECT_EQ(QNMRThemes::all().size(), 8);
    EXPECT_EQ(QNMRThemes::named("rose-gold").name, "Rose Gold");
    EXPECT_EQ(QNMRThemes::named("rose-gold").bg, QNMRThemes::builtIn().at(2).bg);
    EXPECT_NE(QNMRThemes::named("rose-gold").bg, impostor.bg);
    EXPECT_EQ(QNMRThemes::named("redwood-grove").name, "Redwood Grove");
}

// Registers a new id twice in one call; exits 0 when only the first was kept.
[[noreturn]] static void registerTwinsAndExit()
{
    const qsizetype before = QNMRThemes::all().size();
    const QNMRTheme twin{"extra-twin", "Twin", QNMRTheme::Family::extra, {}, {}, {}, {}, {}, {}};
    QNMRTheme twinAgain = twin;
    twinAgain.name = "Twin again";
    QNMRThemes::registerThemes({twin, twinAgain});
    const bool ok =
        QNMRThemes::all().size() == before + 1 && QNMRThemes::all().last().name == "Twin";
    std::exit(ok ? 0 : 1);
}

TEST_F(QNMRThemesTest, DuplicateInsideOneCallIsDropped)
{
    // A new id stays registered for the rest of the process, so this runs in a child
    // and leaves the catalogue of the other tests at its eight themes.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(registerTwinsAndExit(), ::testing::ExitedWithCode(0), "");
}

TEST_F(QNMRThemesTest, StrayStoredIdGivesTheDefaultAndIsLeftAlone)
{
    QNMRThemes::registerThemes(OVThemes::extras());
    QNMRThemes::setDefaultID(OVThemes::groveID);
    EXPECT_EQ(QNMRThemes::current().id, "redwood-grove"); // nothing stored
    QNMRThemes::setCurrentID("no-such-theme");
    EXPECT_EQ(QNMRThemes::current().name, "Redwood Grove");
    EXPECT_EQ(OVPrefs::stringValue(QNMRThemes::key), QString("no-such-theme"));
}

TEST_F(QNMRThemesTest, UnknownDefaultFallsBackToTheFirstBuiltIn)
{
    QNMRThemes::setDefaultID("gone");
    EXPECT_EQ(QNMRThemes::currentID(), "gone");
    EXPECT_EQ(QNMRThemes::current().id, "cobalt-gunmetal");
    EXPECT_EQ(QNMRThemes::named("").id, "cobalt-gunmetal");
}

TEST_F(QNMRThemesTest, LookupIsExactAndFollowsTheStoredIdAtOnce)
{
    QNMRThemes::setCurrentID("candy-red-titanium");
    EXPECT_EQ(QNMRThemes::current().id, "candy-red-titanium");
    QNMRThemes::setCurrentID("Midnight-Black"); // case matters
    EXPECT_EQ(QNMRThemes::current().id, "cobalt-gunmetal");
    // The settings file hands a stored id back as text after a restart.
    OVPrefs::sync();
    EXPECT_EQ(QNMRThemes::currentID(), "Midnight-Black");
}
