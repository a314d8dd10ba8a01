#pragma once
// A grid of equal-width columns: as many columns of at least `minimumColumn` pixels
// as the width allows (at least one), the spare width shared among them, items placed
// row by row in order; each row is as tall as its tallest item (height-for-width).
// Cards that should line up in columns (tiles, video cards, cost cells) use this;
// items that keep their own width and simply wrap (chips) use FlowLayout. Adding or
// taking an item makes the layouts above ask for the height again.

#include <QLayout>
#include <QList>

class AdaptiveGridLayout : public QLayout {
    Q_OBJECT
public:
    AdaptiveGridLayout(int minimumColumn, int spacing, QWidget* parent = nullptr);
    ~AdaptiveGridLayout() override;

    // Columns that fit into a width.
    int columnsFor(int width) const;

    void addItem(QLayoutItem* item) override;
    int count() const override { return int(m_items.size()); }
    QLayoutItem* itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override { return Qt::Horizontal; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    int arrange(const QRect& rect, bool apply) const;

    QList<QLayoutItem*> m_items;
    int m_minimumColumn;
    int m_spacing;
};
