#include "app/AlertBox.h"

#include <QLabel>
#include <QMessageBox>

AlertBox::AlertBox(AppModel& model, QWidget* window) : QObject(window), m_model(model), m_window(window) {}

QMessageBox* AlertBox::makeBox(const QString& title)
{
    auto* box = new QMessageBox(m_window);
    box->setWindowModality(Qt::ApplicationModal);
    box->setTextFormat(Qt::PlainText);
    box->setWindowTitle(title);
    return box;
}

void AlertBox::present(QMessageBox* box)
{
    // The informative line has a label of its own, without the box's text format.
    for (QLabel* text : box->findChildren<QLabel*>())
        text->setTextFormat(Qt::PlainText);
    m_box = box;
    box->show();
}

void AlertBox::dismiss()
{
    if (!m_box)
        return;
    QMessageBox* old = m_box;
    m_box = nullptr;
    old->disconnect(this);
    old->hide();
    old->deleteLater();
}
