#include "app/NoticeAlert.h"

#include "services/AppModel.h"

#include <QMessageBox>
#include <QPushButton>

NoticeAlert::NoticeAlert(AppModel& model, QWidget* window) : AlertBox(model, window)
{
    connect(&m_model, &AppModel::messageChanged, this, &NoticeAlert::follow);
    follow();
}

void NoticeAlert::follow()
{
    const std::optional<QString>& message = m_model.message();
    if (!message) {
        dismiss();
        return;
    }
    if (box()) {
        box()->setText(*message);
        return;
    }

    QMessageBox* notice = makeBox(QStringLiteral("QNMR Orvane"));
    notice->setText(*message);
    QPushButton* ok = notice->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    notice->setDefaultButton(ok);
    notice->setEscapeButton(ok);
    // OK and every other way of closing the notice end the notice.
    connect(notice, &QDialog::finished, this, [this] {
        if (m_model.message())
            m_model.setMessage(std::nullopt);
    });
    present(notice);
}
