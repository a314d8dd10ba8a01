#include "kit/OVThemeRoot.h"

#include "kit/KitEvents.h"

#include <QTimer>
#include <QVBoxLayout>

OVThemeRoot::OVThemeRoot(Factory content, QWidget* parent) : QWidget(parent), m_factory(std::move(content))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    rebuild();
    connect(&KitEvents::shared(), &KitEvents::themeChanged, this,
            [this] { QTimer::singleShot(0, this, &OVThemeRoot::rebuild); });
}

void OVThemeRoot::rebuild()
{
    if (m_content) {
        m_content->hide();
        m_content->deleteLater();
    }
    m_content = m_factory ? m_factory() : new QWidget;
    layout()->addWidget(m_content);
    emit rebuilt();
}
