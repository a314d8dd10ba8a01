#pragma once
// The rounded box around one list row: content inset 14 points left and right and
// 10 top and bottom; plain (dark, faint white edge) or highlighted (warning orange).
// body() is the content's vertical stack (spacing 0); add a QHBoxLayout for a row.

#include <QWidget>

class QPainter;
class QRectF;
class QVBoxLayout;

class OVRowBox : public QWidget {
    Q_OBJECT
public:
    explicit OVRowBox(bool highlight = false, QWidget* parent = nullptr);

    QVBoxLayout* body() const { return m_body; }
    bool highlight() const { return m_highlight; }
    void setHighlight(bool on);

    // The box itself, for rows that paint their own (plain or highlighted).
    static void paintBox(QPainter& p, const QRectF& rect, bool highlight);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* m_body = nullptr;
    bool m_highlight = false;
};
