#pragma once
// The rounded, softly lit panel in which screens group their content, with an
// optional title row (symbol and title). body() is the vertical stack of the content,
// 10 points below the title row; callers add widgets or layouts to it.

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
