#include "kit/HeaderActions.h"

#include "kit/OVAddButton.h"
#include "kit/OVPage.h"
#include "kit/QNChromeButton.h"
#include "services/BackgroundJobs.h"
#include "services/TableExport.h"
#include "store/OVStore.h"

#include <QPointer>

namespace HeaderActions {

Buttons add(OVPage* page, const OVStore& store, qsizetype table, const QString& addTitle,
            const QList<QWidget*>& between)
{
    Buttons buttons;
    buttons.exportButton = new QNChromeButton(QStringLiteral("Export CSV"));
    buttons.exportButton->setSymbol(QStringLiteral("square.and.arrow.up"));
    buttons.exportButton->setAutoDefault(false);
    buttons.addButton = new OVAddButton(addTitle);
    buttons.addButton->setAutoDefault(false);
    page->addTrailing(buttons.exportButton);
    for (QWidget* control : between)
        page->addTrailing(control);
    page->addTrailing(buttons.addButton);

    const OVStore* source = &store;
    QObject::connect(buttons.exportButton, &QPushButton::clicked, buttons.exportButton,
                     [source, table] { TableExport::start(*source, table); });
    QNChromeButton* exportButton = buttons.exportButton;
    const auto guard = [exportButton] {
        exportButton->setEnabled(!BackgroundJobs::shared().runs(QStringLiteral("restore")));
    };
    QObject::connect(&BackgroundJobs::shared(), &BackgroundJobs::changed, exportButton, guard);
    guard();
    return buttons;
}

} // namespace HeaderActions
