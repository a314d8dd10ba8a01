#include "app/ConfirmAlert.h"

#include "kit/KitText.h"
#include "services/AppModel.h"

#include <QMessageBox>
#include <QPushButton>

ConfirmAlert::ConfirmAlert(AppModel& model, QWidget* window) : AlertBox(model, window)
{
    connect(&m_model, &AppModel::confirmChanged, this, &ConfirmAlert::follow);
    follow();
}

void ConfirmAlert::follow()
{
    const std::optional<ConfirmRequest>& request = m_model.confirm();
    if (!request) {
        dismiss();
        return;
    }
    if (box() && m_id == request->id)
        return;
    dismiss();

    m_id = request->id;
    QMessageBox* question = makeBox(request->title);
    question->setText(request->title);
    question->setInformativeText(request->message);
    QPushButton* destroy = question->addButton(KitText::literal(request->button), QMessageBox::DestructiveRole);
    QPushButton* cancel = question->addButton(QMessageBox::Cancel);
    question->setDefaultButton(cancel);
    question->setEscapeButton(cancel);

    widen(question);

    const QUuid id = m_id;
    connect(question, &QMessageBox::buttonClicked, this, [this, id, destroy](QAbstractButton* clicked) {
        if (!m_model.confirm() || m_model.confirm()->id != id)
            return;
        const std::function<void()> action = m_model.confirm()->action;
        m_model.setConfirm(std::nullopt);
        if (clicked == destroy && action)
            action();
    });
    connect(question, &QDialog::finished, this, [this, id] {
        if (m_model.confirm() && m_model.confirm()->id == id)
            m_model.setConfirm(std::nullopt);
    });
    present(question);
}
