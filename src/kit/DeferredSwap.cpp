#include "kit/DeferredSwap.h"

#include <QBoxLayout>
#include <QWidget>

namespace DeferredSwap {

void replace(QBoxLayout* layout, QWidget*& current, QWidget* next, int index)
{
    if (current) {
        layout->replaceWidget(current, next);
        current->hide();
        current->deleteLater();
    } else {
        layout->insertWidget(index, next);
    }
    current = next;
}

} // namespace DeferredSwap
