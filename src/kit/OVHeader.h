#pragma once
// The page header: a round badge (46 points, the accent colour, the screen's symbol
// in white), the title and a subtitle that wraps, then the trailing controls at the
// right edge, at least 10 points from the text. The widget keeps a margin of
// shadowRoom() pixels on every side for the badge's and buttons' shadows; the page
// frame subtracts it from its own padding, so the visible layout is unchanged.

#include <QString>
#include <QWidget>

class QHBoxLayout;
class QLabel;
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

    static int shadowRoom();

private:
    OVLabel* m_subtitle = nullptr;
    QHBoxLayout* m_trailing = nullptr;
    QLabel* m_badge = nullptr;
};
