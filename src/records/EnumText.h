#pragma once
// The shared lookup behind the record enumerations: one table row per case, in
// case order, holding the stored raw text (ASCII, the case name) and the English
// display text. Raw texts compare exactly, byte for byte, with no case folding.

#include <QLatin1String>
#include <QStringView>
#include <cstddef>
#include <optional>
#include <span>

namespace EnumText {

struct Entry {
    const char* raw;
    const char16_t* name;
};

// The index of the row whose raw text equals `raw` exactly.
inline std::optional<std::size_t> indexOf(std::span<const Entry> entries, QStringView raw)
{
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (raw == QLatin1String(entries[i].raw))
            return i;
    }
    return std::nullopt;
}

} // namespace EnumText
