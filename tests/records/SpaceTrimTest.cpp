#include "records/SpaceTrim.h"

#include <gtest/gtest.h>

TEST(SpaceTrim, SpacesAndTabsNeverLineBreaks)
{
    EXPECT_EQ(SpaceTrim::trimmed(QStringView(u"\t\u00A0 a b\u3000 ")), QStringView(u"a b"));
    EXPECT_EQ(SpaceTrim::trimmed(QStringView(u" a\n")), QStringView(u"a\n"));
    EXPECT_EQ(SpaceTrim::trimmedUtf8("\xC2\xA0" "x\t\xE2\x80\x8A"), "x");
    // A malformed byte is never a space, at either end.
    EXPECT_EQ(SpaceTrim::trimmedUtf8(" \xA0x\xC2 "), "\xA0x\xC2");
    EXPECT_EQ(SpaceTrim::trimmedUtf8(" \r\n "), "\r\n");
}
