#include "kit/QNMRThemeRoot.h"

#include "kit/KitEvents.h"
#include "kit/KitMetrics.h"
#include "kit/OVColors.h"
#include "kit/OVRebuilder.h"
#include "kit/OVViewState.h"
#include "kit/QNUI.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QVBoxLayout>

QNMRThemeRoot::QNMRThemeRoot(Factory content, QWidget* parent)
    : QWidget(parent), m_factory(std::move(content))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // Deferred: the action that changed the theme or zoom may belong to a widget in the content.
    m_rebuilder = new OVRebuilder(this, [this] { rebuild(); });
    rebuild();
    connect(&KitEvents::shared(), &KitEvents::themeChanged, m_rebuilder, &OVRebuilder::schedule);
    connect(&KitEvents::shared(), &KitEvents::zoomChanged, m_rebuilder, &OVRebuilder::schedule);
}

int QNMRThemeRoot::rebuildCount() const { return m_rebuilder->rebuildCount(); }

void QNMRThemeRoot::rebuild()
{
    OVViewState kept;
    if (m_content) {
        kept = OVViewState::capture(m_content, m_builtZoom);
        m_content->hide();
        m_content->deleteLater();
    }
    m_builtZoom = KitMetrics::zoom();
    setPalette(OVColors::palette());
    m_content = m_factory ? m_factory() : new QWidget;
    layout()->addWidget(m_content);
    // Shown now rather than on a later turn, so the rebuilt content is there at once.
    if (isVisible())
        m_content->show();
    kept.apply(m_content, m_builtZoom);
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
