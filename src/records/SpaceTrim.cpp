#include "records/SpaceTrim.h"

namespace {

// The scalar that ends at `end` in UTF-8 text starting at `begin`, and where it
// starts. Malformed bytes read as themselves (and are never spaces).
char32_t lastScalarUtf8(const char* begin, const char* end, const char** start)
{
    const char* p = end - 1;
    int back = 0;
    while (p > begin && back < 3 && (uchar(*p) & 0xC0) == 0x80) {
        --p;
        ++back;
    }
    const uchar lead = uchar(*p);
    const int len = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (len != back + 1) {
        *start = end - 1;
        return char32_t(uchar(end[-1])) | 0x80000000u; // not a scalar
    }
    char32_t c = len == 1 ? lead : len == 2 ? (lead & 0x1F) : len == 3 ? (lead & 0x0F) : (lead & 0x07);
    for (int i = 1; i < len; ++i)
        c = (c << 6) | (uchar(p[i]) & 0x3F);
    *start = p;
    return c;
}

char32_t firstScalarUtf8(const char* p, const char* end, const char** next)
{
    const uchar lead = uchar(*p);
    const int len = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (len == 0 || end - p < len) {
        *next = p + 1;
        return char32_t(lead) | 0x80000000u;
    }
    char32_t c = len == 1 ? lead : len == 2 ? (lead & 0x1F) : len == 3 ? (lead & 0x0F) : (lead & 0x07);
    for (int i = 1; i < len; ++i) {
        if ((uchar(p[i]) & 0xC0) != 0x80) {
            *next = p + 1;
            return char32_t(lead) | 0x80000000u;
        }
        c = (c << 6) | (uchar(p[i]) & 0x3F);
    }
    *next = p + len;
    return c;
}

} // namespace

bool SpaceTrim::isSpaceOrTab(char32_t c)
{
    // The tab and the Unicode space separators (general category Zs).
    return c == 0x09 || c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x202F
           || c == 0x205F || c == 0x3000;
}

std::string_view SpaceTrim::trimmedUtf8(std::string_view text)
{
    const char* b = text.data();
    const char* e = b + text.size();
    while (b < e) {
        if (*b == ' ' || *b == '\t') {
            ++b;
            continue;
        }
        if (uchar(*b) < 0x80)
            break;
        const char* next = nullptr;
        if (!isSpaceOrTab(firstScalarUtf8(b, e, &next)))
            break;
        b = next;
    }
    while (e > b) {
        if (e[-1] == ' ' || e[-1] == '\t') {
            --e;
            continue;
        }
        if (uchar(e[-1]) < 0x80)
            break;
        const char* start = nullptr;
        if (!isSpaceOrTab(lastScalarUtf8(b, e, &start)))
            break;
        e = start;
    }
    return std::string_view(b, size_t(e - b));
}

std::u16string_view SpaceTrim::trimmed(std::u16string_view text)
{
    // No space separator lies outside the basic plane, so single units suffice.
    size_t b = 0;
    size_t e = text.size();
    while (b < e && isSpaceOrTab(text[b]))
        ++b;
    while (e > b && isSpaceOrTab(text[e - 1]))
        --e;
    return text.substr(b, e - b);
}

QString SpaceTrim::trimmedString(const QString& text)
{
    return trimmed(QStringView(text)).toString();
}

QStringView SpaceTrim::trimmed(QStringView text)
{
    const std::u16string_view t = trimmed(std::u16string_view(text.utf16(), size_t(text.size())));
    return QStringView(t.data(), qsizetype(t.size()));
}
