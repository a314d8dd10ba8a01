#pragma once
// A small capsule with a short text in a colour.

#include <QColor>
#include <QString>
#include <QWidget>

class OVTag : public QWidget {
    Q_OBJECT
public:
    OVTag(const QString& text, const QColor& color, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QColor m_color;
};
