#pragma once
// The fourteen screens of the side rail and the Go menu. A small value type around an
// enumeration, so `Screen::plants` names a screen and `screen.title()` reads its
// table; switch statements work on it directly. The raw value (and id) is the case
// name; allCases() is the fixed rail order, and groups() covers every screen exactly
// once, in that same order.

#include <QHashFunctions>
#include <QList>
#include <QString>
#include <optional>

struct ScreenGroup;

class Screen {
public:
    enum Value {
        today,
        greenhouses,
        plants,
        seeds,
        harvests,
        climate,
        schedules,
        maintenance,
        pests,
        supplies,
        reports,
        library,
        videos,
        settings
    };

    constexpr Screen(Value value = today) : m_value(value) {}
    constexpr operator Value() const { return m_value; }

    // The case whose raw value equals the text exactly; nothing for any other text.
    static std::optional<Screen> fromRaw(const QString& raw);
    static const QList<Screen>& allCases();
    // "Grow", "Care", "Records", "Learn" and the captionless group holding settings.
    static const QList<ScreenGroup>& groups();

    QString rawValue() const;
    QString id() const { return rawValue(); }
    QString title() const;
    QString symbol() const; // the icon name of the screen

private:
    Value m_value;
};

inline size_t qHash(Screen screen, size_t seed = 0) noexcept
{
    return ::qHash(int(Screen::Value(screen)), seed);
}

// A captioned group of the side rail. The id is the caption followed directly by the
// raw values of its screens ("Learn" + "library" + "videos"; "settings" for the
// captionless group).
struct ScreenGroup {
    QString name;
    QList<Screen> screens;

    QString id() const;
};
