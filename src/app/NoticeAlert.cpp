#include "app/NoticeAlert.h"

#include "services/AppModel.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

NoticeAlert::NoticeAlert(AppModel& model, QWidget* window) : QObject(window), m_model(model), m_window(window)
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
    if (m_box) {
        m_box->setText(*message);
        return;
    }

    auto* box = new QMessageBox(m_window);
    box->setWindowModality(Qt::ApplicationModal);
    box->setTextFormat(Qt::PlainText);
    box->setWindowTitle(QStringLiteral("QNMR Orvane"));
    box->setText(*message);
    QPushButton* ok = box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    for (QLabel* text : box->findChildren<QLabel*>())
        text->setTextFormat(Qt::PlainText);
    // OK and every other way of closing the box end the notice.
    connect(box, &QDialog::finished, this, [this] {
        if (m_model.message())
            m_model.setMessage(std::nullopt);
    });
    m_box = box;
    box->show();
}

void NoticeAlert::dismiss()
{
    if (!m_box)
        return;
    QMessageBox* old = m_box;
    m_box = nullptr;
    old->disconnect(this);
    old->hide();
    old->deleteLater();
}
