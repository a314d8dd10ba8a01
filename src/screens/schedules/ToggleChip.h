#pragma once
// A checkable button drawn as a rounded chip: filled with the theme's accent while
// checked, a dark inset otherwise. The task editor builds its rule-kind segments
// (exclusive, in a QButtonGroup) and its weekday switches from it. The title is
// drawn literally ("&" is a character, not a mnemonic).

#include <QAbstractButton>

class ToggleChip : public QAbstractButton {
    Q_OBJECT
public:
    explicit ToggleChip(const QString& title, QWidget* parent = nullptr);
    QString title() const { return m_title; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
};
