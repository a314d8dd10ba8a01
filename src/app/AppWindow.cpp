#include "app/AppWindow.h"

#include "app/AppMenus.h"
#include "app/ConfirmAlert.h"
#include "app/EditorHost.h"
#include "app/MainWindow.h"
#include "app/NoticeAlert.h"
#include "kit/JobProgressBar.h"
#include "kit/OVThemeRoot.h"
#include "kit/QNZoomHost.h"
#include "records/OVInfo.h"
#include "services/AppModel.h"
#include "services/BackgroundJob.h"
#include "services/BackgroundJobs.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QStatusBar>
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

    // The progress of whatever runs in the background, shown only while it runs.
    m_progress = new JobProgressBar;
    statusBar()->addWidget(m_progress, 1);
    statusBar()->setSizeGripEnabled(false);
    statusBar()->hide();
    m_progress->followAll();
    connect(&BackgroundJobs::shared(), &BackgroundJobs::changed, this,
            [this] { statusBar()->setVisible(BackgroundJobs::shared().busy()); });
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
    // A backup or restore runs to its end first (a half-made copy or a database
    // renamed aside must never be what is left); the window then closes by itself.
    BackgroundJobs& jobs = BackgroundJobs::shared();
    if (BackgroundJob* job = jobs.mustFinish()) {
        event->ignore();
        if (!m_quitWhenDone) {
            m_quitWhenDone = true;
            AppModel::shared().setMessage(QStringLiteral("Finishing the ") + job->name() +
                                          QStringLiteral(" first. QNMR Orvane quits when it is done."));
            connect(&jobs, &BackgroundJobs::changed, this, [this] {
                if (!BackgroundJobs::shared().mustFinish())
                    QTimer::singleShot(0, this, &QWidget::close);
            });
        }
        return;
    }
    // Exports and imports stop at their next row and leave nothing behind.
    hide();
    jobs.stopAll();
    event->accept();
    // Other top-level windows (help, About) must not keep the application running.
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
}
