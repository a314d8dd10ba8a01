#pragma once
// A text that opens something when clicked, drawn only as its label (no button
// chrome): the label wraps when told to, and the whole label takes clicks. The
// tooltip usually shows the address it opens.

#include <QAbstractButton>
#include "kit/OVLabel.h"

#include <QColor>



class OVLinkButton : public QAbstractButton {
    Q_OBJECT
public:
    OVLinkButton(const QString& text, double points, int weight, const QColor& color, QWidget* parent = nullptr);

    OVLabel* label() const { return m_label; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return m_label->wordWrap(); }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent*) override {}

private:
    OVLabel* m_label;
};
