#pragma once
// The palette every view draws with: six colours of the theme that was current when
// the value was made, and five fixed colours shared by all themes. A value keeps its
// theme after the user picks another one, so views make a fresh OVColors() each time
// they build or paint rather than keeping one.
//
// This is the one way to the current theme: the kit's own colours (QNUI, the kit host)
// and the palettes come from the same cached theme. The cache is dropped when the
// theme changes (KitEvents::themeChanged), anything is written to the settings or the
// theme catalogue changes, so painting never opens the settings file.

#include "kit/QNMRTheme.h"

#include <QColor>
#include <QPalette>

struct OVColors {
    QNMRTheme t;

    OVColors(); // the current theme
    explicit OVColors(const QNMRTheme& theme) : t(theme) {}

    QColor text() const { return t.text.color(); }
    QColor dim() const { return t.dim.color(); }
    QColor accent() const { return t.accent.color(); }
    QColor panelTop() const { return t.panelTop.color(); }
    QColor panelBottom() const { return t.panelBottom.color(); }
    QColor bg() const { return t.bg.color(); }

    static QColor leaf() { return QColor::fromRgbF(0.48f, 0.80f, 0.43f); }
    static QColor warmLight() { return QColor::fromRgbF(1.0f, 0.8f, 0.5f); }
    static QColor alert() { return QColor::fromRgbF(1.0f, 0.55f, 0.35f); }
    static QColor good() { return QColor::fromRgbF(0.55f, 0.85f, 0.5f); }
    static QColor inset() { return QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.28f); }
    // The platform's standard gray: tags of things at rest (planned, paused, imported).
    static QColor gray() { return QColor(142, 142, 147); }

    // The current theme and its kit colours, cached.
    static const QNMRTheme& current();
    static const QNKitTheme& kit();
    // The palette of the current theme for native controls, dialogs, menus and tool
    // tips: text in the theme's text colour, fields and menus in its dark colours,
    // selections in its accent.
    static QPalette palette();
    // This theme's palette.
    static QPalette palette(const QNMRTheme& theme);
    // Drops the cache (the next read resolves the stored theme again).
    static void invalidate();
};
