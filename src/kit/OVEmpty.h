#pragma once
// What a list shows when it has nothing to show: a symbol, a title and a message.

#include <QColor>
#include <QString>
#include <QWidget>

class OVEmpty : public QWidget {
    Q_OBJECT
public:
    OVEmpty(const QString& symbol, const QString& title, const QString& message,
            QWidget* parent = nullptr);
    // The same with the symbol drawn in `tint` instead of the leaf colour.
    OVEmpty(const QString& symbol, const QString& title, const QString& message, const QColor& tint,
            QWidget* parent = nullptr);
};
