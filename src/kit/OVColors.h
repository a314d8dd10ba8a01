#pragma once
// The palette every product view draws with: six colours of the theme that was
// current when the value was made, and five fixed colours shared by all themes.
// A snapshot: it keeps its theme after the user picks another one, so views make a
// fresh OVColors() each time they build rather than keeping one.

#include "kit/QNMRTheme.h"

#include <QColor>

struct OVColors {
    QNMRTheme t;

    OVColors(); // copies QNMRThemes::current()
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
};
