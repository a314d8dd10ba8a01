#pragma once
// A row of joined segments of which one is chosen (the bed/bench type switch), or
// none after setCurrentIndex() with an index it does not have (currentIndex() -1). Clicking a segment chooses it and emits `activated` with its index;
// setCurrentIndex() chooses without emitting, so filling a form fires nothing.
// Arrow keys move the choice as a click would.

#include <QStringList>
#include <QWidget>

class SegmentedPicker : public QWidget {
    Q_OBJECT
public:
    explicit SegmentedPicker(const QStringList& titles, QWidget* parent = nullptr);

    int currentIndex() const { return m_current; }
    void setCurrentIndex(int index);
    int count() const { return int(m_titles.size()); }
    // The segment's rectangle in widget coordinates (clicks, tests).
    QRect segmentRect(int index) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void activated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void choose(int index);

    QStringList m_titles;
    int m_current = 0;
};
