#include "kit/OVThemeRoot.h"

#include "kit/KitEvents.h"
#include "kit/KitMetrics.h"
#include "kit/KitStyle.h"
#include "kit/OVColors.h"
#include "kit/OVRebuilder.h"
#include "kit/OVViewState.h"
#include "kit/WoodBackground.h"

#include <QApplication>
#include <QVBoxLayout>

OVThemeRoot::OVThemeRoot(Factory content, QWidget* parent) : QWidget(parent), m_factory(std::move(content))
{
    m_wood = new WoodBackground(this);
    m_wood->lower();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_rebuilder = new OVRebuilder(this, [this] { rebuild(); });
    rebuild();
    connect(&KitEvents::shared(), &KitEvents::themeChanged, m_rebuilder, &OVRebuilder::schedule);
}

int OVThemeRoot::rebuildCount() const { return m_rebuilder->rebuildCount(); }

void OVThemeRoot::styleApplication()
{
    static bool done = false;
    if (!done) {
        done = true;
        // Fusion takes its colours from the palette; platform styles may not. The kit's
        // style over it draws Qt's own controls at the interface zoom.
        QApplication::setStyle(new KitStyle);
        QObject::connect(&KitEvents::shared(), &KitEvents::themeChanged, qApp,
                         [] { QApplication::setPalette(OVColors::palette()); });
    }
    QApplication::setPalette(OVColors::palette());
}

void OVThemeRoot::setProgressiveBackground(bool on)
{
    m_wood->setProgressive(on);
}

void OVThemeRoot::rebuild()
{
    OVViewState kept;
    if (m_content) {
        kept = OVViewState::capture(m_content, KitMetrics::zoom());
        m_content->hide();
        m_content->deleteLater();
    }
    setPalette(OVColors::palette());
    m_content = m_factory ? m_factory() : new QWidget;
    layout()->addWidget(m_content);
    if (isVisible())
        m_content->show();
    kept.apply(m_content, KitMetrics::zoom());
    m_wood->lower();
    m_wood->update();
    emit rebuilt();
}

void OVThemeRoot::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_wood->setGeometry(rect());
}
