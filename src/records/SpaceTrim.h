#pragma once
// Trimming of "spaces and tabs": the tab and every Unicode space separator (U+0020,
// U+00A0, U+2000…U+200A and the like) at both ends, never a line break, so a text
// with a line break at either end keeps it. One rule for day texts, CSV cells, crop
// names and the self-check's mutation names, in UTF-16 and UTF-8.

#include <QString>
#include <QStringView>

#include <string_view>

class SpaceTrim {
public:
    static bool isSpaceOrTab(char32_t c);
    static QStringView trimmed(QStringView text);
    // The same, as a string of its own.
    static QString trimmedString(const QString& text);
    static std::u16string_view trimmed(std::u16string_view text);
    // Malformed UTF-8 bytes are never spaces.
    static std::string_view trimmedUtf8(std::string_view text);
};
