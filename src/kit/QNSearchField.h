#pragma once
// A search box: magnifying-glass symbol, the text, and a "Clear search" button shown
// while there is text. textChanged fires on every edit, also on clearing.

#include <QWidget>

class QLineEdit;
class QToolButton;

class QNSearchField : public QWidget {
    Q_OBJECT
public:
    explicit QNSearchField(const QString& prompt, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    QLineEdit* lineEdit() const { return m_edit; }

signals:
    void textChanged(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLineEdit* m_edit = nullptr;
    QToolButton* m_clear = nullptr;
};
