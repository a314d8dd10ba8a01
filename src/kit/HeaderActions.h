#pragma once
// The pair of header buttons most screens carry: "Export CSV", which writes the
// screen's table in the background (services/TableExport), and the screen's
// "Add …" button, 8 points apart at the header's trailing end, with any other
// controls between them. The export button waits while a restore runs.

#include <QList>

class OVAddButton;
class OVPage;
class OVStore;
class QNChromeButton;
class QWidget;

namespace HeaderActions {

struct Buttons {
    QNChromeButton* exportButton = nullptr;
    OVAddButton* addButton = nullptr;
};

// Adds the buttons to the page's header; the export writes the table named
// Exporter::fileNames()[table] from `store`.
Buttons add(OVPage* page, const OVStore& store, qsizetype table, const QString& addTitle,
            const QList<QWidget*>& between = {});

} // namespace HeaderActions
