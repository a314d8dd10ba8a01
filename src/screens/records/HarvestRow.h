#pragma once
// One harvest as a row of the Harvests list, on one line: the day (in a fixed
// 120-point column), the crop, the plant's variety when there is one, then at the
// right the amount with its unit ("2.50 lb", "12.00 count") and the quality when
// there is one.

#include "records/Harvest.h"
#include "screens/records/RecordRow.h"

class HarvestRow : public RecordRow {
    Q_OBJECT
public:
    // variety: the variety of the harvest's plant, empty when it has none or is gone.
    HarvestRow(const Harvest& harvest, const QString& variety, QWidget* parent = nullptr);

    const Harvest& harvest() const { return m_harvest; }
    QString dayText() const { return m_day; }
    QString varietyText() const { return m_variety; }
    QString amountText() const { return m_amount; }
    QString qualityText() const { return m_harvest.quality; }

    // The quantity with two decimals, a space and the unit's raw value.
    static QString amount(const Harvest& harvest);

protected:
    double contentHeight() const override;
    void paintContent(QPainter& p, const QRectF& content) override;

private:
    Harvest m_harvest;
    QString m_day;
    QString m_variety;
    QString m_amount;
    QColor m_text;
    QColor m_dim;
    QFont m_dayFont;
    QFont m_cropFont;
    QFont m_varietyFont;
    QFont m_amountFont;
    QFont m_qualityFont;
};
