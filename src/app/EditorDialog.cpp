#include "app/EditorDialog.h"

#include "app/ScreenFactory.h"
#include "kit/OVEditorFrame.h"
#include "kit/OVThemeRoot.h"
#include "services/AppModel.h"

#include <QCloseEvent>
#include <QVBoxLayout>

EditorDialog::EditorDialog(const EditSheet& sheet, QWidget* parent) : QDialog(parent), m_id(sheet.id())
{
    setWindowModality(Qt::WindowModal);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_root = new OVThemeRoot([sheet] { return ScreenFactory::makeEditor(sheet); });
    layout->addWidget(m_root);
}

QWidget* EditorDialog::editor() const
{
    return m_root->content();
}

void EditorDialog::reject()
{
    if (auto* frame = findChild<OVEditorFrame*>()) {
        emit frame->cancelRequested();
        return;
    }
    closeSheet();
}

void EditorDialog::closeEvent(QCloseEvent* event)
{
    // The sheet host hides the dialog when the sheet closes; nothing to do then.
    if (!isVisible()) {
        event->accept();
        return;
    }
    reject();
    const std::optional<EditSheet>& open = AppModel::shared().sheet();
    if (open && open->id() == m_id)
        closeSheet();
    event->ignore(); // the host hides and deletes the dialog
}
