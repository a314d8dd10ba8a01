#pragma once
// The page header: a round badge with the screen's symbol, the title and a subtitle
// that wraps, and the trailing controls at the right edge.

#include <QString>
#include <QWidget>

class QHBoxLayout;
class OVLabel;

class OVHeader : public QWidget {
    Q_OBJECT
public:
    OVHeader(const QString& title, const QString& subtitle, const QString& symbol,
             QWidget* parent = nullptr);

    void setSubtitle(const QString& subtitle);
    QString subtitle() const;
    // The row of trailing controls (export and add buttons), right-aligned.
    QHBoxLayout* trailing() const { return m_trailing; }

private:
    OVLabel* m_subtitle = nullptr;
    QHBoxLayout* m_trailing = nullptr;
};
