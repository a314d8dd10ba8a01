#pragma once
// A row of joined segments of which exactly one is chosen, as the Climate screen's
// metric picker uses it. Painted in the kit's colours; a click on a segment chooses
// it and emits `activated` (setCurrentIndex never emits, so filling fires nothing).

#include <QStringList>
#include <QWidget>

class SegmentedPicker : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedPicker(const QStringList& titles, QWidget* parent = nullptr);

    int currentIndex() const { return m_current; }
    void setCurrentIndex(int index);
    int count() const { return int(m_titles.size()); }
    // The segment's rectangle in widget coordinates.
    QRect segmentRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void activated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QList<int> segmentWidths() const;

    QStringList m_titles;
    int m_current = 0;
};
