#include "kit/LayoutSync.h"

#include <QBoxLayout>
#include <QCoreApplication>
#include <QEvent>
#include <QSet>
#include <QWidget>

namespace LayoutSync {

void apply(QBoxLayout* layout, QList<QWidget*>& current, const QList<QWidget*>& wanted)
{
    if (wanted == current && layout->count() == wanted.size())
        return;
    bool inPlace = wanted.size() == current.size() && layout->count() == current.size();
    if (inPlace) {
        // Only swaps of a gone widget for a new one keep every other row where it is.
        const QSet<QWidget*> keep(wanted.cbegin(), wanted.cend());
        const QSet<QWidget*> had(current.cbegin(), current.cend());
        for (qsizetype i = 0; i < wanted.size() && inPlace; ++i)
            inPlace = wanted[i] == current[i] || (!keep.contains(current[i]) && !had.contains(wanted[i]));
    }
    if (inPlace) {
        for (qsizetype i = 0; i < wanted.size(); ++i) {
            if (wanted[i] != current[i])
                delete layout->replaceWidget(current[i], wanted[i]);
        }
    } else {
        while (QLayoutItem* item = layout->takeAt(0))
            delete item;
        for (QWidget* widget : wanted)
            layout->addWidget(widget);
    }
    current = wanted;
}

void settle(QWidget* widget)
{
    // A layout whose widget's wishes changed asks the layout above it with another
    // posted request, which one call to sendPostedEvents() leaves for the next (and a
    // scroll area that shows its bar asks its content again): rounds up the chain until
    // none asks, a few at most. The widget's own layout goes last in each round, once
    // its parents have given it its new size: laid out first, a list would place every
    // row squeezed into its old height, and then every row once more.
    class Asked : public QObject {
    public:
        bool any = false;

    protected:
        bool eventFilter(QObject*, QEvent* event) override
        {
            any = any || event->type() == QEvent::LayoutRequest;
            return false;
        }
    } asked;
    QCoreApplication::instance()->installEventFilter(&asked);
    // The parents learn of the widget's new wishes now rather than from its layout.
    widget->updateGeometry();
    for (int round = 0; round < 4; ++round) {
        asked.any = false;
        for (QWidget* w = widget->parentWidget(); w; w = w->parentWidget())
            QCoreApplication::sendPostedEvents(w, QEvent::LayoutRequest);
        QCoreApplication::sendPostedEvents(widget, QEvent::LayoutRequest);
        if (!asked.any)
            break;
    }
    QCoreApplication::instance()->removeEventFilter(&asked);
}

Hold::Hold(QLayout* layout) : m_layout(layout), m_wasEnabled(layout->isEnabled()) { layout->setEnabled(false); }

Hold::~Hold()
{
    m_layout->setEnabled(m_wasEnabled);
    if (m_wasEnabled) {
        // A layout request that came while held was dropped; this one does the work.
        m_layout->invalidate();
        if (QWidget* widget = m_layout->parentWidget())
            QCoreApplication::postEvent(widget, new QEvent(QEvent::LayoutRequest));
    }
}

} // namespace LayoutSync
