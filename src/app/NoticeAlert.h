#pragma once
// Presents AppModel::message: a non-blocking box titled "QNMR Orvane" with the text
// as plain text and one "OK" button. OK, or closing the box, clears the message. A new
// text replaces the one shown (notices do not queue); no message hides the box.

#include "app/AlertBox.h"

class NoticeAlert : public AlertBox {
    Q_OBJECT
public:
    NoticeAlert(AppModel& model, QWidget* window);

private:
    void follow();
};
