#pragma once
// One colour theme of the kit: an id kept in the settings, a display name, a family
// and six sRGB colours. Two themes are the same theme when their ids are equal,
// whatever their colours; the catalogue (QNMRThemes) relies on that to keep the
// first theme that claims an id.

#include "kit/QNKitTheme.h"

#include <QColor>
#include <QString>
#include <cstdint>
#include <optional>

struct QNMRTheme {
    enum class Family { masculine, feminine, black, gray, extra };

    static QString rawValue(Family family);
    // Exactly the five raw texts, case-sensitive; anything else gives nothing.
    static std::optional<Family> familyFromRaw(const QString& raw);

    // Channel intensities 0…1 in sRGB.
    struct RGB {
        double r = 0;
        double g = 0;
        double b = 0;

        constexpr RGB() = default;
        constexpr RGB(double red, double green, double blue) : r(red), g(green), b(blue) {}
        // Red from the high byte of a 24-bit value; bits above the 24th are ignored.
        static constexpr RGB hex(std::uint32_t value)
        {
            return RGB(double((value >> 16) & 0xFF) / 255.0, double((value >> 8) & 0xFF) / 255.0,
                       double(value & 0xFF) / 255.0);
        }

        QColor color() const; // opaque sRGB
        // Relative luminance as WCAG 2.0 defines it (0.03928 threshold), 0…1.
        double luminance() const;
        // Contrast ratio 1…21; the order of the arguments does not matter.
        static double contrast(const RGB& a, const RGB& b);

        friend bool operator==(const RGB&, const RGB&) = default;
    };

    QString id;
    QString name;
    Family family = Family::extra;
    RGB bg;
    RGB panelTop;
    RGB panelBottom;
    RGB text;
    RGB dim;
    RGB accent;

    QNKitTheme kitTheme() const;

    friend bool operator==(const QNMRTheme& a, const QNMRTheme& b) { return a.id == b.id; }
};
