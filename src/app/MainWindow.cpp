#include "app/MainWindow.h"

#include "app/DividerLine.h"
#include "app/ScreenHost.h"
#include "app/SideRail.h"
#include "services/AppModel.h"

#include <QHBoxLayout>

MainWindow::MainWindow(QWidget* parent) : MainWindow(AppModel::shared(), parent) {}

MainWindow::MainWindow(AppModel& model, QWidget* parent) : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    m_rail = new SideRail(model);
    m_host = new ScreenHost(model);
    row->addWidget(m_rail);
    row->addWidget(new DividerLine(Qt::Vertical, 0.3));
    row->addWidget(m_host, 1);
}
