#pragma once
// Numbers read and written the C way, whatever locale the user or Qt has set: the
// one C-locale handle of the program and the one strict text-to-number reader built
// on it. Used wherever a stored or exported number must not depend on the locale.

#include <locale.h>

#include <optional>
#include <string_view>

class CNumber {
public:
    // The C locale, made once for the life of the process; null only when the system
    // could not make it.
    static locale_t cLocale();
    // The whole text as a C-locale floating-point number (strtod syntax: sign, decimal
    // or hexadecimal forms, "inf", "nan"). Nothing when the text is empty, starts with
    // white space, holds a NUL, or anything is left over after the number.
    static std::optional<double> parseWhole(std::string_view text);
};
