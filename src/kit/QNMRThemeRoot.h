#pragma once
// The root of the kit's own windows (help, About): the kit's window background in the
// current theme (solid bg, a light sheen at the top and a shade at the bottom, an
// accent glow from the top-left corner) behind content made by a factory, with text
// defaulting to the theme's text colour. When the theme or the interface zoom changes,
// the content is thrown away and made anew on the next event-loop turn (several
// changes in one turn give one rebuild), so everything below re-reads colours and sizes;
// what the reader had set (search, topic, scroll position: OVViewState) is set again.

#include <QWidget>
#include <functional>

class OVRebuilder;

class QNMRThemeRoot : public QWidget {
    Q_OBJECT
public:
    using Factory = std::function<QWidget*()>;

    explicit QNMRThemeRoot(Factory content, QWidget* parent = nullptr);

    QWidget* content() const { return m_content; }
    void rebuild();
    int rebuildCount() const;

signals:
    void rebuilt();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Factory m_factory;
    QWidget* m_content = nullptr;
    OVRebuilder* m_rebuilder = nullptr;
    double m_builtZoom = 1.0;
};
