// The test entry's scratch folders: a death test's child (threadsafe style, which
// runs this program again) leaves by _Exit without removing its own, so the child
// must make it inside this process's, which goes when this process ends.

#include <QByteArray>
#include <QString>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// `text` as a POSIX extended regular expression that matches it literally.
std::string literally(const QByteArray& text)
{
    std::string out;
    for (const char c : text) {
        if (std::strchr(".[]()*+?{}|^$\\", c))
            out += '\\';
        out += c;
    }
    return out;
}

} // namespace

TEST(TestScratch, ADeathTestChildMakesItsScratchInsideItsParents)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // HOME is the scratch folder of the process that reads it (see TestMain.cpp).
    const QByteArray mine = qgetenv("HOME");
    ASSERT_FALSE(mine.isEmpty());
    EXPECT_EXIT(
        {
            std::fprintf(stderr, "child scratch <%s>\n", qgetenv("HOME").constData());
            std::_Exit(0);
        },
        testing::ExitedWithCode(0), literally("child scratch <" + mine + "/ov-test-"));
}
