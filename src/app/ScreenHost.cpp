#include "app/ScreenHost.h"

#include "app/ScreenFactory.h"
#include "kit/QNZoomHost.h"
#include "services/AppModel.h"

#include <QScrollBar>
#include <QVBoxLayout>

ScreenHost::ScreenHost(AppModel& model, QWidget* parent) : QWidget(parent), m_model(model), m_screen(model.screen())
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    show(m_model.screen());
    connect(&m_model, &AppModel::screenChanged, this, [this] {
        if (!m_current || m_model.screen() != m_screen) {
            show(m_model.screen());
            // A picked screen opens at its top, also where the window is too small
            // for the zoomed content and the zoom host had been scrolled down.
            for (QWidget* w = parentWidget(); w; w = w->parentWidget())
                if (auto* zoom = qobject_cast<QNZoomHost*>(w))
                    zoom->verticalScrollBar()->setValue(0);
        }
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
