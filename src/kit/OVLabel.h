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
    // On one line, end the text in "…" where it is narrower than its text (the label may
    // then shrink to any width).
    void setEliding(bool on);
    // The text as drawn now (elided or whole).
    QString shownText() const;

    // `text` as a tool tip that shows it literally: tool tips read anything that looks
    // like markup as markup.
    static QString plainToolTip(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_eliding = false;
};
