#pragma once
// The colours and zoom a kept row was made with. Lists that keep their rows between
// rebuilds compare it with now() and make every row anew when the theme or the zoom
// changed, since a row paints with what it was given.

#include <QRgb>

struct BuiltLook {
    QRgb text = 0;
    QRgb dim = 0;
    QRgb accent = 0;
    double zoom = 1;

    static BuiltLook now();

    friend bool operator==(const BuiltLook&, const BuiltLook&) = default;
};
