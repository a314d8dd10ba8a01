#pragma once
// One figure tile of the Today screen's tile row: a card (no title, padding 14)
// holding the tinted symbol, the figure above its caption, and spare space. The
// figure arrives already formatted; the tile has no actions.

#include "kit/OVCard.h"

#include <QColor>

class OVLabel;

class StatTile : public OVCard {
    Q_OBJECT
public:
    StatTile(const QString& title, const QString& value, const QString& symbol, const QColor& tint,
             QWidget* parent = nullptr);

    QString title() const { return m_title; }
    QString value() const { return m_value; }
    QString symbol() const { return m_symbol; }
    QColor tint() const { return m_tint; }

private:
    QString m_title;
    QString m_value;
    QString m_symbol;
    QColor m_tint;
};
