#include "kit/QNMRThemes.h"

#include "kit/KitEvents.h"
#include "records/OVPrefs.h"

namespace QNMRThemes {
namespace {

using RGB = QNMRTheme::RGB;
using Family = QNMRTheme::Family;

QNMRTheme makeTheme(const char* id, const char* name, Family family, std::uint32_t bg,
                    std::uint32_t panelTop, std::uint32_t panelBottom, std::uint32_t text,
                    std::uint32_t dim, std::uint32_t accent)
{
    return QNMRTheme{QString::fromUtf8(id), QString::fromUtf8(name), family, RGB::hex(bg),
                     RGB::hex(panelTop),    RGB::hex(panelBottom),   RGB::hex(text),
                     RGB::hex(dim),         RGB::hex(accent)};
}

QList<QNMRTheme>& registered()
{
    static QList<QNMRTheme> list;
    return list;
}

QString& defaultIDStorage()
{
    static QString id = QStringLiteral("cobalt-gunmetal");
    return id;
}

quint64& revisionStorage()
{
    static quint64 n = 0;
    return n;
}

} // namespace

const QList<QNMRTheme>& builtIn()
{
    static const QList<QNMRTheme> themes = {
        makeTheme("cobalt-gunmetal", "Cobalt Gunmetal", Family::masculine, 0x14181F, 0x353C48,
                  0x1C2129, 0xF2F5FA, 0xA3AEC0, 0x2F7BF2),
        makeTheme("candy-red-titanium", "Candy Red Titanium", Family::masculine, 0x1A1616,
                  0x403736, 0x231D1D, 0xFAF3F2, 0xC2AAA7, 0xD3262E),
        makeTheme("rose-gold", "Rose Gold", Family::feminine, 0x24161D, 0x4A3039, 0x2C1B23,
                  0xFFF2F5, 0xD6AFBC, 0xE0789A),
        makeTheme("lavender-pearl", "Lavender Pearl", Family::feminine, 0x1C1726, 0x40375A,
                  0x241D33, 0xF6F2FF, 0xBDB1DA, 0x9B7BE8),
        makeTheme("midnight-black", "Midnight Black", Family::black, 0x050506, 0x26272B,
                  0x0E0E10, 0xFFFFFF, 0x9C9EA6, 0x5AA9FF),
        makeTheme("brushed-gray", "Brushed Gray", Family::gray, 0x3A3D42, 0x6A6E75, 0x45484E,
                  0xFFFFFF, 0xD9DCE1, 0x1F6FD1),
    };
    return themes;
}

void registerThemes(const QList<QNMRTheme>& themes)
{
    for (const QNMRTheme& theme : themes) {
        // Walks the list as it grows, so a duplicate inside one call is dropped too.
        const QList<QNMRTheme> known = all();
        if (!known.contains(theme)) {
            registered().append(theme);
            ++revisionStorage();
        }
    }
}

quint64 revision() { return revisionStorage(); }

QList<QNMRTheme> all()
{
    return builtIn() + registered();
}

QString defaultID() { return defaultIDStorage(); }

void setDefaultID(const QString& id)
{
    defaultIDStorage() = id;
    ++revisionStorage();
}

QString currentID()
{
    return OVPrefs::stringValue(key).value_or(defaultID());
}

void setCurrentID(const QString& id)
{
    // The settings store has no change signal: theme roots learn of the new id here.
    // Only a change of the theme shown counts: storing the id of the theme already in
    // use (the default one on a fresh install, too) redraws nothing.
    const QString before = current().id;
    OVPrefs::setValue(key, id);
    if (current().id != before)
        emit KitEvents::shared().themeChanged();
}

QNMRTheme named(const QString& id)
{
    const QList<QNMRTheme> themes = all();
    for (const QNMRTheme& t : themes) {
        if (t.id == id)
            return t;
    }
    const QString fallback = defaultID();
    for (const QNMRTheme& t : themes) {
        if (t.id == fallback)
            return t;
    }
    return builtIn().first();
}

QNMRTheme current() { return named(currentID()); }

} // namespace QNMRThemes
