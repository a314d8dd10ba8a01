#pragma once
// The multi-line text box of the editors: exactly `height` points tall (70 unless
// given), the text inset 6 points on every side, on the same dark rounded field as
// OVTextField. Return adds a line; longer text scrolls inside; no placeholder.

#include <QPlainTextEdit>

class OVTextArea : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit OVTextArea(const QString& text = QString(), double height = 70, QWidget* parent = nullptr);

    QString text() const { return toPlainText(); }
    void setText(const QString& text) { setPlainText(text); }

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void clearBase();
};
