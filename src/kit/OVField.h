#pragma once
// A labelled form row: the caption in upper case, the control, and an optional help
// line under it that wraps.

#include <QString>
#include <QWidget>

class OVField : public QWidget {
    Q_OBJECT
public:
    // An empty help text shows no help line.
    OVField(const QString& label, QWidget* control, const QString& help = QString(),
            QWidget* parent = nullptr);

    QWidget* control() const { return m_control; }

private:
    QWidget* m_control;
};
