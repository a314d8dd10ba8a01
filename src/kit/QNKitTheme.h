#pragma once
// The seven colours the kit's own controls and windows draw with, made from one
// theme (QNMRTheme::kitTheme). A plain value: it never follows a later theme change.

#include <QColor>

struct QNKitTheme {
    QColor bg;          // window background
    QColor text;        // main text
    QColor dim;         // secondary text and icons
    QColor rim;         // edge highlight, the same for every theme
    QColor accent;      // highlights and prominent controls
    QColor panelTop;    // top of a panel's vertical gradient
    QColor panelBottom; // bottom of a panel's vertical gradient
};
