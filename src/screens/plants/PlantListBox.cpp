#include "screens/plants/PlantListBox.h"

#include "screens/plants/PlantRow.h"

#include <QSet>

PlantListBox::PlantListBox(int spacing, QWidget* parent) : QWidget(parent), m_spacing(spacing)
{
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void PlantListBox::setRows(const QList<PlantRow*>& rows)
{
    const QSet<PlantRow*> next(rows.cbegin(), rows.cend());
    for (PlantRow* row : std::as_const(m_rows))
        if (!next.contains(row))
            row->hide();
    m_rows = rows;
    int height = 0;
    for (PlantRow* row : std::as_const(m_rows))
        height += row->height() + m_spacing;
    m_height = m_rows.isEmpty() ? 0 : height - m_spacing;
    place();
    for (PlantRow* row : std::as_const(m_rows))
        if (row->isHidden())
            row->show();
    updateGeometry();
}

void PlantListBox::place()
{
    int y = 0;
    for (PlantRow* row : std::as_const(m_rows)) {
        row->setGeometry(0, y, width(), row->height());
        y += row->height() + m_spacing;
    }
}

QSize PlantListBox::sizeHint() const { return QSize(0, m_height); }

QSize PlantListBox::minimumSizeHint() const { return QSize(0, m_height); }

void PlantListBox::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    place();
}
