#pragma once
// One cost as a row of the Supplies & Costs list: the day (in a fixed 120-point
// column), the item over its detail line (category · vendor · "for <crop>" or
// "shared", the empty parts left out) and the cost in money text at the right.

#include "records/LedgerEntry.h"
#include "screens/records/RecordRow.h"

class LedgerRow : public RecordRow {
    Q_OBJECT
public:
    explicit LedgerRow(const LedgerEntry& entry, QWidget* parent = nullptr);

    const LedgerEntry& entry() const { return m_entry; }
    QString dayText() const { return m_day; }
    QString detailText() const { return m_detail; }
    QString costText() const { return m_cost; }

    static QString detail(const LedgerEntry& entry);

protected:
    double contentHeight() const override;
    void paintContent(QPainter& p, const QRectF& content) override;

private:
    LedgerEntry m_entry;
    QString m_day;
    QString m_detail;
    QString m_cost;
    QColor m_text;
    QColor m_dim;
    QFont m_dayFont;
    QFont m_itemFont;
    QFont m_detailFont;
    QFont m_costFont;
};
