#pragma once
// Presents AppModel::confirm: a non-blocking question box with the request's title
// and message as plain text, the request's destructive button and Cancel. Cancel is
// the default and the escape button, so Return never deletes. Either button, or
// closing the box, sets confirm back to none; only the destructive button runs the
// action, once. A new request replaces a question still shown.

#include <QObject>
#include <QPointer>
#include <QUuid>

class AppModel;
#include <QMessageBox>
class QWidget;

class ConfirmAlert : public QObject {
    Q_OBJECT
public:
    ConfirmAlert(AppModel& model, QWidget* window);

    QMessageBox* box() const { return m_box; }

private:
    void follow();
    void dismiss();

    AppModel& m_model;
    QWidget* m_window;
    QPointer<QMessageBox> m_box;
    QUuid m_id;
};
