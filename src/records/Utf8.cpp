#include "records/Utf8.h"

size_t Utf8::encode(char32_t c, char* out)
{
    if (c < 0x80) {
        out[0] = char(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = char(0xC0 | (c >> 6));
        out[1] = char(0x80 | (c & 0x3F));
        return 2;
    }
    if (c >= 0xD800 && c <= 0xDFFF)
        return 0;
    if (c < 0x10000) {
        out[0] = char(0xE0 | (c >> 12));
        out[1] = char(0x80 | ((c >> 6) & 0x3F));
        out[2] = char(0x80 | (c & 0x3F));
        return 3;
    }
    if (c > 0x10FFFF)
        return 0;
    out[0] = char(0xF0 | (c >> 18));
    out[1] = char(0x80 | ((c >> 12) & 0x3F));
    out[2] = char(0x80 | ((c >> 6) & 0x3F));
    out[3] = char(0x80 | (c & 0x3F));
    return 4;
}

void Utf8::append(std::string& out, std::u16string_view v)
{
    char bytes[4];
    for (size_t i = 0; i < v.size(); ++i) {
        char32_t c = v[i];
        if (c < 0x80) {
            out.push_back(char(c));
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < v.size() && v[i + 1] >= 0xDC00 && v[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (v[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD; // a lone surrogate can be no number or date
        }
        out.append(bytes, encode(c, bytes));
    }
}

QByteArray Utf8::fromLatin1(const QByteArray& bytes)
{
    qsizetype high = 0;
    for (char c : bytes)
        high += uchar(c) >= 0x80;
    QByteArray out;
    out.reserve(bytes.size() + high);
    char encoded[4];
    for (char c : bytes)
        out.append(encoded, qsizetype(encode(char32_t(uchar(c)), encoded)));
    return out;
}
