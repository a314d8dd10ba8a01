#pragma once
// The outermost widget of the main window's content, of every editor sheet's
// background and of every snapshot render: the wood background in the current theme
// behind content made by a factory. When "qnmr.theme" changes, the content is thrown
// away and made anew (deferred to the next event-loop turn, because the widget that
// changed the theme may live inside it; several changes in one turn give one
// rebuild), so everything below re-reads its colours; what the grower had set below
// (OVViewState) is set again on the new content. Text below defaults to the theme's
// text colour, and the native controls below get the theme's palette.

#include <QPalette>
#include <QWidget>
#include <functional>

class OVRebuilder;
class WoodBackground;

class OVThemeRoot : public QWidget {
    Q_OBJECT
public:
    using Factory = std::function<QWidget*()>;

    explicit OVThemeRoot(Factory content, QWidget* parent = nullptr);

    QWidget* content() const { return m_content; }
    // Throws the content away and makes it anew now.
    void rebuild();
    // A window on screen may show the theme's ground colour first and the wood a moment
    // later, drawn off the main thread (see WoodBackground::setProgressive).
    void setProgressiveBackground(bool on);

    int rebuildCount() const;

    // Gives the whole application the current theme's palette and a style that draws
    // with it (Fusion, through KitStyle, which also draws Qt's own controls at the
    // interface zoom), and follows every later theme change: question and notice
    // boxes, menus, pop-ups, tool tips and file dialogs then match the window. Once
    // per process, with a QApplication running.
    static void styleApplication();

signals:
    void rebuilt();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    Factory m_factory;
    QWidget* m_content = nullptr;
    WoodBackground* m_wood = nullptr;
    OVRebuilder* m_rebuilder = nullptr;
};
