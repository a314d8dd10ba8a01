#pragma once
// The column that holds the plant rows: the rows it is given, top to bottom, full
// width, a fixed gap apart, and no other row. Rows have fixed heights, so placing them
// is one pass over the shown rows; no layout engine re-measures thousands of rows
// when a search shows a different few. Rows it no longer shows are hidden, not
// deleted (their owner keeps them for reuse).

#include <QList>
#include <QWidget>

class PlantRow;

class PlantListBox : public QWidget {
    Q_OBJECT
public:
    explicit PlantListBox(int spacing, QWidget* parent = nullptr);

    // Shows exactly these rows (children of this box) in this order.
    void setRows(const QList<PlantRow*>& rows);
    const QList<PlantRow*>& rows() const { return m_rows; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    QList<PlantRow*> m_rows;
    int m_spacing;
    int m_height = 0;
};
