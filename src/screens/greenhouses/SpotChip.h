#pragma once
// One bed or bench of a zone row, drawn as a capsule chip: the kind's symbol, then
// "Bed 1" or "Bench A" with " · " and the size when the spot has one. A plain
// button without chrome; clicking it is the row's business. The texts are the
// user's and are drawn as plain text.

#include "records/Spot.h"

#include <QAbstractButton>

class SpotChip : public QAbstractButton {
    Q_OBJECT
public:
    explicit SpotChip(const Spot& spot, QWidget* parent = nullptr);

    const Spot& spot() const { return m_spot; }
    QString title() const { return m_title; }
    // "Bed 1 · 4 × 10 ft", or "Bed 1" without a size.
    static QString label(const Spot& spot);
    static QString symbol(SpotKind kind);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Spot m_spot;
    // Kept out of QAbstractButton::text, which would read an "&" as a shortcut.
    QString m_title;
};
