#pragma once
// The frame of every screen: the header (the screen's title and symbol, a subtitle,
// trailing controls) padded 24/20/24/14, which does not scroll, above the content: a
// vertical stack, spacing 16, padded 24 left, right and bottom, in an OVScroll. A
// scroll bar, when shown, sits inside the right padding: the content never moves.

#include "services/Screen.h"

#include <QWidget>

class OVHeader;
class OVScroll;
class QVBoxLayout;

class OVPage : public QWidget {
    Q_OBJECT
public:
    OVPage(Screen screen, const QString& subtitle, QWidget* parent = nullptr);
    // A page that fills `host` edge to edge, as every screen holds its page.
    static OVPage* fill(QWidget* host, Screen screen, const QString& subtitle);

    OVHeader* header() const { return m_header; }
    void setSubtitle(const QString& subtitle);
    void addTrailing(QWidget* control);
    // The content stack; add cards, rows and notes here.
    QVBoxLayout* content() const { return m_content; }
    OVScroll* scroll() const { return m_scroll; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    OVHeader* m_header = nullptr;
    OVScroll* m_scroll = nullptr;
    QVBoxLayout* m_content = nullptr;
};
