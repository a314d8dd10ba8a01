#include "kit/AdaptiveGridLayout.h"

#include <QWidget>
#include <algorithm>

AdaptiveGridLayout::AdaptiveGridLayout(int minimumColumn, int spacing, QWidget* parent)
    : QLayout(parent), m_minimumColumn(std::max(1, minimumColumn)), m_spacing(spacing)
{
    setContentsMargins(0, 0, 0, 0);
}

AdaptiveGridLayout::~AdaptiveGridLayout()
{
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

int AdaptiveGridLayout::columnsFor(int width) const
{
    return std::max(1, (width + m_spacing) / (m_minimumColumn + m_spacing));
}

// Adding or taking an item changes the height asked for: the layouts above must
// ask again, or the grid keeps its old height (cut off, or a gap below).
void AdaptiveGridLayout::addItem(QLayoutItem* item)
{
    m_items.append(item);
    invalidate();
}

QLayoutItem* AdaptiveGridLayout::takeAt(int index)
{
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem* item = m_items.takeAt(index);
    invalidate();
    return item;
}

int AdaptiveGridLayout::heightForWidth(int width) const { return arrange(QRect(0, 0, width, 0), false); }

QSize AdaptiveGridLayout::minimumSize() const
{
    const QMargins m = contentsMargins();
    return QSize(m_minimumColumn + m.left() + m.right(), 0);
}

QSize AdaptiveGridLayout::sizeHint() const
{
    const int width = m_minimumColumn * 2 + m_spacing;
    return QSize(width, heightForWidth(width));
}

void AdaptiveGridLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int AdaptiveGridLayout::arrange(const QRect& rect, bool apply) const
{
    const QMargins m = contentsMargins();
    const QRect area = rect.adjusted(m.left(), m.top(), -m.right(), -m.bottom());
    const int columns = columnsFor(area.width());
    const int columnWidth = std::max(1, (area.width() - m_spacing * (columns - 1)) / columns);
    QList<QLayoutItem*> visible;
    for (QLayoutItem* item : m_items)
        if (!item->isEmpty())
            visible.append(item);
    int y = area.y();
    for (int start = 0; start < visible.size(); start += columns) {
        int rowHeight = 0;
        const int end = std::min<int>(int(visible.size()), start + columns);
        for (int i = start; i < end; ++i) {
            QLayoutItem* item = visible[i];
            const int h = item->hasHeightForWidth() ? item->heightForWidth(columnWidth) : item->sizeHint().height();
            rowHeight = std::max(rowHeight, h);
        }
        if (apply)
            for (int i = start; i < end; ++i)
                visible[i]->setGeometry(
                    QRect(area.x() + (i - start) * (columnWidth + m_spacing), y, columnWidth, rowHeight));
        y += rowHeight + (end < visible.size() ? m_spacing : 0);
    }
    return y - rect.y() + m.bottom();
}
