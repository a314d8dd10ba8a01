#pragma once
// A text label in the kit's font: size in points, weight, colour (an invalid colour
// inherits the theme root's text colour). Text is always plain (user data is never
// read as markup). Optionally wraps onto as many lines as it needs.

#include <QColor>
#include <QFont>
#include <QLabel>

class OVLabel : public QLabel {
    Q_OBJECT
public:
    explicit OVLabel(const QString& text, double points = 13, int weight = QFont::Normal,
                     const QColor& color = QColor(), QWidget* parent = nullptr);

    void setColor(const QColor& color);
    // Wrap onto further lines instead of widening or eliding.
    void setWrapping(bool on);
};
