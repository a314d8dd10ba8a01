#pragma once
// Presents AppModel::message: a non-blocking box titled "QNMR Orvane" with the text
// as plain text and one "OK" button. OK, or closing the box, clears the message. A new
// text replaces the one shown (notices do not queue); no message hides the box.

#include <QObject>
#include <QPointer>

class AppModel;
#include <QMessageBox>
class QWidget;

class NoticeAlert : public QObject {
    Q_OBJECT
public:
    NoticeAlert(AppModel& model, QWidget* window);

    QMessageBox* box() const { return m_box; }

private:
    void follow();
    void dismiss();

    AppModel& m_model;
    QWidget* m_window;
    QPointer<QMessageBox> m_box;
};
