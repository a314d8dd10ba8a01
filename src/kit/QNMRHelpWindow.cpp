#include "kit/QNMRHelpWindow.h"

#include "kit/QNMRHelp.h"
#include "kit/QNMRHelpViewer.h"
#include "kit/QNMRKitHost.h"
#include "kit/QNMRThemeRoot.h"
#include "records/OVPrefs.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

namespace QNMRHelpWindow {
namespace {

const QString geometryKey = QStringLiteral("qnmr.helpWindow");

QWidget*& windowStorage()
{
    static QWidget* w = nullptr;
    return w;
}

void saveGeometry()
{
    if (QWidget* w = windowStorage())
        OVPrefs::setValue(geometryKey, w->saveGeometry());
}

QWidget* makeWindow()
{
    auto* w = new QWidget(nullptr, Qt::Window);
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->setAttribute(Qt::WA_QuitOnClose, false);
    w->setObjectName(QStringLiteral("QNMRHelpWindow"));
    auto* layout = new QVBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    w->resize(860, 600);
    const QVariant stored = OVPrefs::value(geometryKey);
    if (!(stored.isValid() && w->restoreGeometry(stored.toByteArray()))) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame(QPoint(0, 0), w->size());
            frame.moveCenter(screen->availableGeometry().center());
            w->move(frame.topLeft());
        }
    }
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, w, [] { saveGeometry(); });
    return w;
}

} // namespace

QWidget* window() { return windowStorage(); }

void show(const std::optional<QString>& topic)
{
    QWidget*& w = windowStorage();
    if (!w)
        w = makeWindow();
    else if (w->isVisible())
        saveGeometry();
    w->setWindowTitle(QNMRKitHost::appName() + QStringLiteral(" Help"));

    QLayout* layout = w->layout();
    while (QLayoutItem* item = layout->takeAt(0)) {
        if (QWidget* old = item->widget()) {
            old->hide();
            old->deleteLater(); // the open may come from a link inside the old viewer
        }
        delete item;
    }
    layout->addWidget(new QNMRThemeRoot([topic] { return new QNMRHelpViewer(topic); }));

    w->show();
    w->raise();
    w->activateWindow();
}

void installOpener()
{
    QNMRHelp::setOpener([](const std::optional<QString>& topic) { show(topic); });
}

} // namespace QNMRHelpWindow
