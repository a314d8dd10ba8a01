#include "kit/QNMRThemeRoot.h"

#include "kit/KitEvents.h"
#include "kit/QNUI.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QTimer>
#include <QVBoxLayout>

QNMRThemeRoot::QNMRThemeRoot(Factory content, QWidget* parent)
    : QWidget(parent), m_factory(std::move(content))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    rebuild();
    connect(&KitEvents::shared(), &KitEvents::themeChanged, this, &QNMRThemeRoot::scheduleRebuild);
    connect(&KitEvents::shared(), &KitEvents::zoomChanged, this, &QNMRThemeRoot::scheduleRebuild);
}

QPalette QNMRThemeRoot::kitPalette()
{
    const QNKitTheme t = QNUI::shared().theme();
    QPalette pal;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor ink = group == QPalette::Disabled ? t.dim : t.text;
        pal.setColor(group, QPalette::Window, t.bg);
        pal.setColor(group, QPalette::WindowText, ink);
        pal.setColor(group, QPalette::Text, ink);
        pal.setColor(group, QPalette::ButtonText, ink);
        pal.setColor(group, QPalette::Base, t.panelBottom.darker(130));
        pal.setColor(group, QPalette::AlternateBase, t.panelBottom);
        pal.setColor(group, QPalette::Button, t.panelTop);
        pal.setColor(group, QPalette::Light, t.panelTop.lighter(130));
        pal.setColor(group, QPalette::Midlight, t.panelTop);
        pal.setColor(group, QPalette::Mid, t.panelBottom);
        pal.setColor(group, QPalette::Dark, t.bg.darker(130));
        pal.setColor(group, QPalette::Highlight, t.accent);
        pal.setColor(group, QPalette::HighlightedText, Qt::white);
        pal.setColor(group, QPalette::Link, t.accent.lighter(140));
        pal.setColor(group, QPalette::PlaceholderText, t.dim);
    }
    return pal;
}

void QNMRThemeRoot::scheduleRebuild()
{
    // Deferred: the action that changed the theme may belong to a widget in the content.
    if (m_queued)
        return;
    m_queued = true;
    QTimer::singleShot(0, this, [this] {
        m_queued = false;
        rebuild();
    });
}

void QNMRThemeRoot::rebuild()
{
    if (m_content) {
        m_content->hide();
        m_content->deleteLater();
    }
    setPalette(kitPalette());
    m_content = m_factory ? m_factory() : new QWidget;
    layout()->addWidget(m_content);
    // Shown now rather than on a later turn, so the rebuilt content is there at once.
    if (isVisible())
        m_content->show();
    update();
    emit rebuilt();
}

void QNMRThemeRoot::paintEvent(QPaintEvent*)
{
    const QNKitTheme t = QNUI::shared().theme();
    QPainter p(this);
    const QRectF r = rect();
    p.fillRect(r, t.bg);

    QLinearGradient sheen(r.topLeft(), r.bottomLeft());
    sheen.setColorAt(0, QColor::fromRgbF(1, 1, 1, 0.07f));
    sheen.setColorAt(0.5, Qt::transparent);
    sheen.setColorAt(1, QColor::fromRgbF(0, 0, 0, 0.25f));
    p.fillRect(r, sheen);

    // Accent glow from the top-left corner: full from radius 10, gone at radius 700.
    QColor glow = t.accent;
    glow.setAlphaF(0.18f);
    QColor clear = t.accent;
    clear.setAlphaF(0);
    QRadialGradient radial(r.topLeft(), 700);
    radial.setColorAt(0, glow);
    radial.setColorAt(10.0 / 700.0, glow);
    radial.setColorAt(1, clear);
    p.fillRect(r, radial);
}
