#include "app/ConfirmAlert.h"

#include "services/AppModel.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

ConfirmAlert::ConfirmAlert(AppModel& model, QWidget* window) : QObject(window), m_model(model), m_window(window)
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
    if (m_box && m_id == request->id)
        return;
    dismiss();

    m_id = request->id;
    auto* box = new QMessageBox(m_window);
    box->setWindowModality(Qt::ApplicationModal);
    box->setTextFormat(Qt::PlainText);
    box->setWindowTitle(request->title);
    box->setText(request->title);
    box->setInformativeText(request->message);
    QString label = request->button;
    QPushButton* destroy = box->addButton(label.replace(QLatin1Char('&'), QStringLiteral("&&")),
                                          QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(QMessageBox::Cancel);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    // Names, notes and error texts are never markup, the informative line included.
    for (QLabel* text : box->findChildren<QLabel*>())
        text->setTextFormat(Qt::PlainText);

    const QUuid id = m_id;
    connect(box, &QMessageBox::buttonClicked, this, [this, id, destroy](QAbstractButton* clicked) {
        if (!m_model.confirm() || m_model.confirm()->id != id)
            return;
        const std::function<void()> action = m_model.confirm()->action;
        m_model.setConfirm(std::nullopt);
        if (clicked == destroy && action)
            action();
    });
    connect(box, &QDialog::finished, this, [this, id] {
        if (m_model.confirm() && m_model.confirm()->id == id)
            m_model.setConfirm(std::nullopt);
    });
    m_box = box;
    box->show();
}

void ConfirmAlert::dismiss()
{
    if (!m_box)
        return;
    QMessageBox* old = m_box;
    m_box = nullptr;
    old->disconnect(this);
    old->hide();
    old->deleteLater();
}
