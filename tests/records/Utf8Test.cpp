#include "records/Utf8.h"

#include <gtest/gtest.h>

TEST(Utf8, EncodesScalarsAndReplacesLoneSurrogates)
{
    char out[4];
    EXPECT_EQ(Utf8::encode(U'\U0001F331', out), 4u);
    EXPECT_EQ(std::string(out, 4), "\xF0\x9F\x8C\xB1");
    EXPECT_EQ(Utf8::encode(0xD800, out), 0u);
    EXPECT_EQ(Utf8::encode(0x110000, out), 0u);

    std::string text;
    Utf8::append(text, u"°F \U0001F331 \xD800!");
    EXPECT_EQ(text, "\xC2\xB0" "F \xF0\x9F\x8C\xB1 \xEF\xBF\xBD!");
    EXPECT_EQ(Utf8::fromLatin1(QByteArray("caf\xE9 \xB0", 6)), QByteArray("caf\xC3\xA9 \xC2\xB0"));
}
