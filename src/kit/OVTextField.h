#pragma once
// The one-line text box of the editors: 13-point text inset 10 points left and right
// and 7 top and bottom, on a dark rounded field (black 0.32, radius 10) with a faint
// white edge drawn inside; the placeholder shows while the text is empty.

#include <QLineEdit>

class OVTextField : public QLineEdit {
    Q_OBJECT
public:
    explicit OVTextField(const QString& placeholder = QString(), const QString& text = QString(),
                         QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void clearBase();
};
