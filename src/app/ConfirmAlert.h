#pragma once
// Presents AppModel::confirm: a non-blocking question box with the request's title
// and message as plain text, the request's destructive button and Cancel. Cancel is
// the default and the escape button, so Return never deletes. Either button, or
// closing the box, sets confirm back to none; only the destructive button runs the
// action, once. A new request replaces a question still shown.

#include "app/AlertBox.h"

#include <QUuid>

class ConfirmAlert : public AlertBox {
    Q_OBJECT
public:
    ConfirmAlert(AppModel& model, QWidget* window);

private:
    void follow();

    QUuid m_id;
};
