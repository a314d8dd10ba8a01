#pragma once
// The outermost widget of the main window's content, of every editor sheet's
// background and of every snapshot render: the wood background in the current theme
// behind content made by a factory. When "qnmr.theme" changes, the content is thrown
// away and made anew (deferred to the next event-loop turn, because the widget that
// changed the theme may live inside it), so everything below re-reads its colours.
// Text below defaults to the theme's text colour.

#include <QWidget>
#include <functional>

class OVThemeRoot : public QWidget {
    Q_OBJECT
public:
    using Factory = std::function<QWidget*()>;

    explicit OVThemeRoot(Factory content, QWidget* parent = nullptr);

    QWidget* content() const { return m_content; }
    // Throws the content away and makes it anew now.
    void rebuild();

signals:
    void rebuilt();

private:
    Factory m_factory;
    QWidget* m_content = nullptr;
};
