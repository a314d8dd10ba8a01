#pragma once
// The prominent add button: the title with the "plus" symbol before it.

#include "kit/QNChromeButton.h"

class OVAddButton : public QNChromeButton {
    Q_OBJECT
public:
    explicit OVAddButton(const QString& title, QWidget* parent = nullptr);
};
