#include "app/ScreenHost.h"

#include "app/ScreenFactory.h"
#include "services/AppModel.h"

#include <QVBoxLayout>

ScreenHost::ScreenHost(AppModel& model, QWidget* parent) : QWidget(parent), m_model(model), m_screen(model.screen())
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    show(m_model.screen());
    connect(&m_model, &AppModel::screenChanged, this, [this] {
        if (!m_current || m_model.screen() != m_screen)
            show(m_model.screen());
    });
}

void ScreenHost::show(Screen screen)
{
    if (m_current) {
        // The change may come from a button inside the old screen.
        m_current->hide();
        layout()->removeWidget(m_current);
        m_current->deleteLater();
    }
    m_screen = screen;
    m_current = ScreenFactory::makeScreen(screen, this);
    layout()->addWidget(m_current);
    m_current->show();
}
