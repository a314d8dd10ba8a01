#include "app/EditorHost.h"

#include "app/EditorDialog.h"
#include "services/AppModel.h"

EditorHost::EditorHost(AppModel& model, QWidget* window) : QObject(window), m_model(model), m_window(window)
{
    connect(&m_model, &AppModel::sheetChanged, this, &EditorHost::follow);
    follow();
}

void EditorHost::follow()
{
    const std::optional<EditSheet>& sheet = m_model.sheet();
    if (!sheet) {
        dismiss();
        return;
    }
    if (m_dialog && m_dialog->sheetID() == sheet->id())
        return;
    dismiss();
    m_dialog = new EditorDialog(*sheet, m_window);
    m_dialog->open();
}

void EditorHost::dismiss()
{
    if (!m_dialog)
        return;
    EditorDialog* old = m_dialog;
    m_dialog = nullptr;
    old->hide();
    old->deleteLater();
}
