#pragma once
// UTF-8 encoding for readers that work on raw bytes (the CSV scanner, the climate
// import's date and number cells, Latin-1 files taken as UTF-8).

#include <QByteArray>

#include <string>
#include <string_view>

class Utf8 {
public:
    // Writes the 1 to 4 bytes of one scalar value to `out` and returns their count;
    // a surrogate or a value beyond U+10FFFF writes nothing and gives 0.
    static size_t encode(char32_t scalar, char* out);
    // Appends UTF-16 text as UTF-8; a lone surrogate becomes U+FFFD.
    static void append(std::string& out, std::u16string_view text);
    // ISO Latin-1 bytes as UTF-8.
    static QByteArray fromLatin1(const QByteArray& bytes);
};
