#include "kit/OVThemes.h"

namespace OVThemes {

const QList<QNMRTheme>& extras()
{
    using RGB = QNMRTheme::RGB;
    static const QList<QNMRTheme> themes = {
        QNMRTheme{groveID, QStringLiteral("Redwood Grove"), QNMRTheme::Family::extra,
                  RGB::hex(0x2B130D), RGB::hex(0x5C2E1F), RGB::hex(0x3A1B12), RGB::hex(0xFFF4EA),
                  RGB::hex(0xE6C3AA), RGB::hex(0x2E7D32)},
        QNMRTheme{cedarID, QStringLiteral("Cedar Sunrise"), QNMRTheme::Family::extra,
                  RGB::hex(0x3B2416), RGB::hex(0x6B4A33), RGB::hex(0x4A2F1F), RGB::hex(0xFFF8EE),
                  RGB::hex(0xF0D9C2), RGB::hex(0x2F6E3A)},
    };
    return themes;
}

} // namespace OVThemes
