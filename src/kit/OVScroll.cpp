#include "kit/OVScroll.h"

#include "kit/OVRender.h"

#include <QScrollBar>

OVScroll::OVScroll(QWidget* content, QWidget* parent) : QScrollArea(parent)
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setAutoFillBackground(false);
    if (content) {
        content->setAutoFillBackground(false);
        setWidget(content);
    }
    if (OVRender::snapshotMode)
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QSize OVScroll::sizeHint() const
{
    if (OVRender::snapshotMode && widget())
        return widget()->sizeHint();
    return QScrollArea::sizeHint();
}

QSize OVScroll::minimumSizeHint() const
{
    if (OVRender::snapshotMode && widget())
        return QSize(0, widget()->sizeHint().height());
    return QScrollArea::minimumSizeHint();
}
