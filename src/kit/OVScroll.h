#pragma once
// The vertical scrolling area of every page, editor and the side rail. With
// OVRender::snapshotMode on it does not scroll: it is as tall as its content, so a
// grab shows the whole page.

#include <QScrollArea>

class OVScroll : public QScrollArea {
    Q_OBJECT
public:
    explicit OVScroll(QWidget* content = nullptr, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};
