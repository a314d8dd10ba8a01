#include "kit/OVColors.h"

#include "kit/KitEvents.h"
#include "kit/KitPaint.h"
#include "kit/QNMRThemes.h"
#include "records/OVPrefs.h"

#include <QObject>

namespace {

struct Cache {
    bool valid = false;
    quint64 writes = 0;
    quint64 catalogue = 0;
    QNMRTheme theme;
    QNKitTheme kit;
    bool listening = false;
};

Cache& cache()
{
    static Cache c;
    return c;
}

const Cache& fresh()
{
    Cache& c = cache();
    if (!c.listening) {
        c.listening = true;
        QObject::connect(&KitEvents::shared(), &KitEvents::themeChanged, &KitEvents::shared(),
                         [] { OVColors::invalidate(); });
    }
    const quint64 writes = OVPrefs::writeCount();
    const quint64 catalogue = QNMRThemes::revision();
    if (!c.valid || c.writes != writes || c.catalogue != catalogue) {
        c.catalogue = catalogue;
        c.theme = QNMRThemes::current();
        c.kit = c.theme.kitTheme();
        c.writes = writes;
        c.valid = true;
    }
    return c;
}

} // namespace

OVColors::OVColors() : t(current()) {}

const QNMRTheme& OVColors::current() { return fresh().theme; }

const QNKitTheme& OVColors::kit() { return fresh().kit; }

void OVColors::invalidate() { cache().valid = false; }

QPalette OVColors::palette() { return palette(current()); }

QPalette OVColors::palette(const QNMRTheme& t)
{
    const QColor text = t.text.color();
    const QColor dim = t.dim.color();
    const QColor bg = t.bg.color();
    const QColor panel = t.panelBottom.color();
    const QColor accent = t.accent.color();
    QPalette pal;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool off = group == QPalette::Disabled;
        const QColor ink = off ? dim : text;
        // Native controls (combo boxes, check boxes, time fields, pop-ups) draw with
        // these: dark fields on the panel colours, outlines derived from Window.
        pal.setColor(group, QPalette::Window, t.panelTop.color());
        pal.setColor(group, QPalette::WindowText, ink);
        pal.setColor(group, QPalette::Text, ink);
        pal.setColor(group, QPalette::ButtonText, ink);
        pal.setColor(group, QPalette::BrightText, Qt::white);
        pal.setColor(group, QPalette::Base, panel.darker(150));
        pal.setColor(group, QPalette::AlternateBase, panel);
        pal.setColor(group, QPalette::Button, panel);
        pal.setColor(group, QPalette::Light, t.panelTop.color().lighter(130));
        pal.setColor(group, QPalette::Midlight, t.panelTop.color());
        pal.setColor(group, QPalette::Mid, panel);
        pal.setColor(group, QPalette::Dark, bg.darker(130));
        pal.setColor(group, QPalette::Shadow, Qt::black);
        pal.setColor(group, QPalette::Highlight, accent);
        pal.setColor(group, QPalette::HighlightedText, Qt::white);
        pal.setColor(group, QPalette::Link, accent.lighter(140));
        pal.setColor(group, QPalette::PlaceholderText, KitPaint::withAlpha(dim, 0.8));
        pal.setColor(group, QPalette::ToolTipBase, panel);
        pal.setColor(group, QPalette::ToolTipText, text);
    }
    return pal;
}
