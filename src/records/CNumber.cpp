#include "records/CNumber.h"

#include <cstdlib>
#include <cstring>
#include <string>

locale_t CNumber::cLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

std::optional<double> CNumber::parseWhole(std::string_view text)
{
    if (text.empty() || text.find('\0') != std::string_view::npos)
        return std::nullopt;
    const char first = text.front();
    if (first == ' ' || first == '\t' || first == '\n' || first == '\v' || first == '\f' || first == '\r')
        return std::nullopt;
    const locale_t c = cLocale();
    if (c == locale_t(nullptr))
        return std::nullopt;

    // strtod_l needs a terminated text: ordinary numbers are copied to the stack.
    char small[128];
    std::string big;
    char* s = small;
    if (text.size() + 1 > sizeof small) {
        big.assign(text);
        s = big.data();
    } else {
        std::memcpy(small, text.data(), text.size());
        small[text.size()] = '\0';
    }
    char* end = nullptr;
    const double value = strtod_l(s, &end, c);
    if (end != s + text.size())
        return std::nullopt;
    return value;
}
