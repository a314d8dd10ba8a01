#include "kit/OVThemeRoot.h"

#include "kit/KitEvents.h"
#include "kit/KitPaint.h"
#include "kit/QNMRThemes.h"
#include "kit/WoodBackground.h"

#include <QTimer>
#include <QVBoxLayout>

OVThemeRoot::OVThemeRoot(Factory content, QWidget* parent) : QWidget(parent), m_factory(std::move(content))
{
    m_wood = new WoodBackground(this);
    m_wood->lower();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    rebuild();
    connect(&KitEvents::shared(), &KitEvents::themeChanged, this, [this] {
        if (m_rebuildQueued)
            return;
        m_rebuildQueued = true;
        QTimer::singleShot(0, this, [this] {
            m_rebuildQueued = false;
            rebuild();
        });
    });
}

QPalette OVThemeRoot::themePalette()
{
    const QNMRTheme t = QNMRThemes::current();
    const QColor text = t.text.color();
    const QColor dim = t.dim.color();
    const QColor bg = t.bg.color();
    const QColor panel = t.panelBottom.color();
    const QColor accent = t.accent.color();
    QPalette pal;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool off = group == QPalette::Disabled;
        const QColor ink = off ? dim : text;
        // Native controls (combo boxes, check boxes, time fields, pop-ups) draw with
        // these: dark fields on the panel colours, outlines derived from Window.
        pal.setColor(group, QPalette::Window, t.panelTop.color());
        pal.setColor(group, QPalette::WindowText, ink);
        pal.setColor(group, QPalette::Text, ink);
        pal.setColor(group, QPalette::ButtonText, ink);
        pal.setColor(group, QPalette::BrightText, Qt::white);
        pal.setColor(group, QPalette::Base, panel.darker(150));
        pal.setColor(group, QPalette::AlternateBase, panel);
        pal.setColor(group, QPalette::Button, panel);
        pal.setColor(group, QPalette::Light, t.panelTop.color().lighter(130));
        pal.setColor(group, QPalette::Midlight, t.panelTop.color());
        pal.setColor(group, QPalette::Mid, panel);
        pal.setColor(group, QPalette::Dark, bg.darker(130));
        pal.setColor(group, QPalette::Shadow, Qt::black);
        pal.setColor(group, QPalette::Highlight, accent);
        pal.setColor(group, QPalette::HighlightedText, Qt::white);
        pal.setColor(group, QPalette::Link, t.accent.color().lighter(140));
        pal.setColor(group, QPalette::PlaceholderText, KitPaint::withAlpha(dim, 0.8));
        pal.setColor(group, QPalette::ToolTipBase, panel);
        pal.setColor(group, QPalette::ToolTipText, text);
    }
    return pal;
}

void OVThemeRoot::setProgressiveBackground(bool on)
{
    m_wood->setProgressive(on);
}

void OVThemeRoot::rebuild()
{
    if (m_content) {
        m_content->hide();
        m_content->deleteLater();
    }
    setPalette(themePalette());
    m_content = m_factory ? m_factory() : new QWidget;
    layout()->addWidget(m_content);
    m_wood->lower();
    m_wood->update();
    emit rebuilt();
}

void OVThemeRoot::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_wood->setGeometry(rect());
}
