#pragma once
// Presents AppModel::sheet over the window: a window-modal EditorDialog opened with
// open(), keyed by the sheet's id. Setting a sheet with the id already shown keeps
// that dialog and the edits typed into it; another id replaces it with a new editor;
// no sheet hides it. Dialogs are deleted later, never inside the editor's own button
// handler that closed the sheet.

#include <QObject>
#include <QPointer>

class AppModel;
#include "app/EditorDialog.h"
class QWidget;

class EditorHost : public QObject {
    Q_OBJECT
public:
    EditorHost(AppModel& model, QWidget* window);

    // The dialog of the open sheet; nullptr when none is open.
    EditorDialog* dialog() const { return m_dialog; }

private:
    void follow();
    void dismiss();

    AppModel& m_model;
    QWidget* m_window;
    QPointer<EditorDialog> m_dialog;
};
