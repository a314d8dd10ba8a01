#pragma once
// A pending yes/no question with one destructive button. Every request gets a fresh
// random id, so two requests made from the same texts are still different requests.
// The action runs only when the user confirms; the request owns it.

#include <QString>
#include <QUuid>
#include <functional>

struct ConfirmRequest {
    QUuid id;
    QString title;
    QString message;
    QString button;
    std::function<void()> action;

    ConfirmRequest(QString title, QString message, QString button, std::function<void()> action)
        : id(QUuid::createUuid()), title(std::move(title)), message(std::move(message)),
          button(std::move(button)), action(std::move(action))
    {
    }
};
