#pragma once
// The multi-line text box of the editors, height points tall (70 unless given);
// Return adds a line, longer text scrolls inside.

#include <QPlainTextEdit>

class OVTextArea : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit OVTextArea(const QString& text = QString(), double height = 70, QWidget* parent = nullptr);

    QString text() const { return toPlainText(); }
    void setText(const QString& text) { setPlainText(text); }

protected:
    void paintEvent(QPaintEvent* event) override;
};
