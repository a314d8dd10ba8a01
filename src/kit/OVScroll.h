#pragma once
// The vertical scrolling area of every page, editor and the side rail: transparent
// (the wood shows through), vertical only, and it asks for its content's full height
// so that a sheet grows with its content up to its own limit. With
// OVRender::snapshotMode on it does not scroll: its minimum is the content's full
// height at the offered width, so a grab shows the whole page.

#include <QScrollArea>

class QVBoxLayout;

class OVScroll : public QScrollArea {
    Q_OBJECT
public:
    explicit OVScroll(QWidget* content = nullptr, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;

    // The content's height when laid out at this width of the scroll area.
    int contentHeight(int width) const;

    // A column on `content` that keeps what is added to it at the top, at the height
    // it needs for its width, however much room the scroll area gives. Hold scrolling
    // content in this rather than in a layout aligned to the top: Qt places an aligned
    // layout at its size hint, which is lower than its height for its width wherever
    // text wraps onto more lines than in the hint, and squeezes that text.
    static QVBoxLayout* topColumn(QWidget* content);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
