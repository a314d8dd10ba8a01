#pragma once
// The window-modal dialog an editor sheet is shown in: the editor for one EditSheet
// on the theme's background. Escape and the window's close both run the editor's own
// Cancel; a close also closes the sheet when the editor left it open, so a user
// close always ends with no sheet. The dialog never accepts by itself: editors
// close their sheet after saving.

#include "services/EditSheet.h"

#include <QDialog>

class EditorDialog : public QDialog {
    Q_OBJECT
public:
    EditorDialog(const EditSheet& sheet, QWidget* parent = nullptr);

    const QString& sheetID() const { return m_id; }
    // The editor widget made for the sheet (rebuilt on a theme change).
    QWidget* editor() const;

    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString m_id;
    class OVThemeRoot* m_root = nullptr;
};
