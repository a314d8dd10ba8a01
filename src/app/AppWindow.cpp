#include "app/AppWindow.h"

#include "app/AppMenus.h"
#include "app/ConfirmAlert.h"
#include "app/EditorHost.h"
#include "app/MainWindow.h"
#include "app/NoticeAlert.h"
#include "kit/OVThemeRoot.h"
#include "kit/QNZoomHost.h"
#include "records/OVInfo.h"
#include "services/AppModel.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QCoreApplication>
#include <QTimer>

AppWindow::AppWindow(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle(OVInfo::appName);
    m_root = new OVThemeRoot([] { return new QNZoomHost([] { return new MainWindow; }, QSize(1180, 760)); });
    m_root->setMinimumSize(900, 600);
    m_root->setProgressiveBackground(true);
    setCentralWidget(m_root);
    AppMenus::build(menuBar(), this);
    resize(1380, 900 + menuBar()->sizeHint().height());

    AppModel& model = AppModel::shared();
    m_editors = new EditorHost(model, this);
    m_confirm = new ConfirmAlert(model, this);
    m_notice = new NoticeAlert(model, this);
}

QNZoomHost* AppWindow::zoomHost() const { return qobject_cast<QNZoomHost*>(m_root->content()); }

MainWindow* AppWindow::mainWindow() const
{
    QNZoomHost* zoom = zoomHost();
    return zoom ? qobject_cast<MainWindow*>(zoom->content()) : nullptr;
}

void AppWindow::bringToFront()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void AppWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    // Other top-level windows (help, About) must not keep the application running.
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
}
