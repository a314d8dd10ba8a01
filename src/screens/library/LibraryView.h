#pragma once
// The Crop Library screen: a narrow card with a search box and the list of reference
// crops, and the chosen crop's detail beside it. The chosen crop lives in the app
// model (it outlives the screen and the snapshot mode can preselect it); with none
// chosen, or one the library no longer holds, the first search result is shown
// without changing the choice. The search text lives with the screen.

#include "services/RefCrop.h"

#include <QWidget>
#include <optional>

class AppModel;
class OVPage;
class OVRebuilder;
class QNSearchField;
class QVBoxLayout;
class ReferenceLibrary;

class LibraryView : public QWidget {
    Q_OBJECT
public:
    explicit LibraryView(QWidget* parent = nullptr);
    LibraryView(AppModel& model, const ReferenceLibrary& library, QWidget* parent = nullptr);

    // The crop the detail shows, nothing when none.
    std::optional<RefCrop> shownCrop() const;
    QNSearchField* searchField() const { return m_search; }
    OVRebuilder* rebuilder() const { return m_rebuilder; }

private:
    void rebuild();

    AppModel& m_model;
    const ReferenceLibrary& m_lib;
    OVPage* m_page = nullptr;
    QNSearchField* m_search = nullptr;
    QVBoxLayout* m_rows = nullptr;
    QWidget* m_rowsWidget = nullptr;
    QVBoxLayout* m_detailHolder = nullptr;
    QWidget* m_detail = nullptr;
    OVRebuilder* m_rebuilder = nullptr;
};
