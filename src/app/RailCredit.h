#pragma once
// The maker's credit line at the foot of the side rail: plain text that opens the
// maker's web site through Opener::open when clicked, with the site's domain as its
// tooltip.

#include <QAbstractButton>

class RailCredit : public QAbstractButton {
    Q_OBJECT
public:
    explicit RailCredit(QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
};
