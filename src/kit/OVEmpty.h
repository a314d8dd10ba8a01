#pragma once
// What a list shows when it has nothing to show: a symbol, a title and a message.

#include <QString>
#include <QWidget>

class OVEmpty : public QWidget {
    Q_OBJECT
public:
    OVEmpty(const QString& symbol, const QString& title, const QString& message,
            QWidget* parent = nullptr);
};
