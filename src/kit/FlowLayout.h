#pragma once
// Lays items left to right, each at its own width, and wraps onto a new line strictly
// at the width (height-for-width); an item wider than the line stands alone on its
// line. For chip rows; cards that should line up in equal columns use
// AdaptiveGridLayout instead. Its size hint is 600 wide unless told otherwise. Adding
// or taking an item forgets the heights measured before.

#include <QLayout>
#include <QList>

class FlowLayout : public QLayout {
    Q_OBJECT
public:
    explicit FlowLayout(QWidget* parent = nullptr, int hSpacing = 8, int vSpacing = 8);
    ~FlowLayout() override;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

    void setPreferredWidth(int width) { m_preferredWidth = width; }
    void invalidate() override;

private:
    int layoutItems(const QRect& rect, bool apply) const;

    QList<QLayoutItem*> m_items;
    int m_hSpacing;
    int m_vSpacing;
    int m_preferredWidth = 600;
    // The last height asked for, by width: layouts ask for the same width many times.
    mutable int m_cachedWidth = -1;
    mutable int m_cachedHeight = 0;
};
