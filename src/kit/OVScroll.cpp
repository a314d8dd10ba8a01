#include "kit/OVScroll.h"

#include "kit/OVRender.h"

#include <QEvent>
#include <QScrollBar>
#include <QVBoxLayout>

OVScroll::OVScroll(QWidget* content, QWidget* parent) : QScrollArea(parent)
{
    setWidgetResizable(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    if (content) {
        setWidget(content);
        // setWidget turns the content's background fill on; the wood must show.
        content->setAutoFillBackground(false);
        content->installEventFilter(this);
    }
    if (OVRender::snapshotMode)
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

namespace {

// Qt drops a layout's cached sizes when that layout changes, not those of the layout
// holding it: without this, the content would report the size it had before its last
// rows were added until its next layout pass, and a sheet would open at that size.
class TopColumn : public QVBoxLayout {
public:
    void invalidate() override
    {
        QVBoxLayout::invalidate();
        if (auto* outer = qobject_cast<QLayout*>(parent()))
            outer->invalidate();
    }
};

} // namespace

QVBoxLayout* OVScroll::topColumn(QWidget* content)
{
    auto* outer = new QVBoxLayout(content);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* column = new TopColumn;
    outer->addLayout(column);
    // Takes whatever room is left below the column.
    outer->addStretch(1);
    return column;
}

int OVScroll::contentHeight(int width) const
{
    const QWidget* w = widget();
    if (!w)
        return 0;
    const int inner = std::max(0, width - 2 * frameWidth());
    if (w->hasHeightForWidth())
        return std::max(w->heightForWidth(inner), w->minimumSizeHint().height());
    return w->sizeHint().height();
}

QSize OVScroll::sizeHint() const
{
    if (!widget())
        return QScrollArea::sizeHint();
    const QSize content = widget()->sizeHint();
    const int width = content.width() + 2 * frameWidth()
                      + (OVRender::snapshotMode ? 0 : verticalScrollBar()->sizeHint().width());
    const int w = testAttribute(Qt::WA_Resized) ? this->width() : width;
    return QSize(width, contentHeight(w) + 2 * frameWidth());
}

QSize OVScroll::minimumSizeHint() const
{
    if (OVRender::snapshotMode && widget())
        return QSize(0, contentHeight(width()) + 2 * frameWidth());
    return QScrollArea::minimumSizeHint();
}

bool OVScroll::hasHeightForWidth() const { return OVRender::snapshotMode && widget(); }

int OVScroll::heightForWidth(int width) const { return contentHeight(width) + 2 * frameWidth(); }

bool OVScroll::eventFilter(QObject* watched, QEvent* event)
{
    // The content's wish changed (rows added or removed): ask the parents again.
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        updateGeometry();
    return QScrollArea::eventFilter(watched, event);
}
