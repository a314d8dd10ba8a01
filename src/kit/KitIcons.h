#pragma once
// The icon set: symbol names as the interface uses them ("leaf.fill", "thermometer",
// "basket.fill", …) mapped by one table (icons/symbols.tsv) to the Material Design
// Icons shipped in the repository, drawn tinted. An unknown name draws a neutral dot.
// Pixmaps are cached per name, colour, size and device pixel ratio. Main thread only.

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>

class QLabel;
class QWidget;

namespace KitIcons {

// True when the table maps the symbol name to an icon.
bool knows(const QString& symbol);
// Every symbol name the table maps.
QStringList symbols();
// The icon file the table names for the symbol (empty for an unknown one).
QString iconName(const QString& symbol);

// The symbol tinted in colour, points × zoom square.
QPixmap pixmap(const QString& symbol, const QColor& color, double points);
// The same at a given device pixel ratio.
QPixmap pixmap(const QString& symbol, const QColor& color, double points, double devicePixelRatio);
QIcon icon(const QString& symbol, const QColor& color, double points = 14);

// A label showing the tinted symbol at its size.
QLabel* label(const QString& symbol, const QColor& color, double points, QWidget* parent = nullptr);

} // namespace KitIcons
