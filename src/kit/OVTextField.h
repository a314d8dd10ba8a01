#pragma once
// The one-line text box of the editors: 13-point text on a dark rounded field with a
// faint edge; the placeholder shows while the text is empty.

#include <QLineEdit>

class OVTextField : public QLineEdit {
    Q_OBJECT
public:
    explicit OVTextField(const QString& placeholder = QString(), const QString& text = QString(),
                         QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
