#pragma once
// The rounded, softly lit panel in which screens group their content, with an
// optional title row (symbol and title; without a title there is no row, even when a
// symbol is given). body() is the vertical stack of the content, 10 points below the
// title row, inset by the padding on all four edges; callers add widgets or layouts
// to it. Painted: a panel gradient at 0.94, a warm-to-dark rim inside the edge and a
// soft shadow below (painted by the parent, see KitShadow).

#include <QString>
#include <QWidget>

class QVBoxLayout;

class OVCard : public QWidget {
    Q_OBJECT
public:
    explicit OVCard(const QString& title = QString(), const QString& symbol = QString(),
                    double padding = 16, QWidget* parent = nullptr);

    QVBoxLayout* body() const { return m_body; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVBoxLayout* m_body = nullptr;
};
