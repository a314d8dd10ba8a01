// The whole application follows the theme: question and notice boxes, menus, file
// dialogs and tool tips take the theme's palette in every theme; the window and the
// About box carry the application icon.

#include "TestSupport.h"
#include "app/AppWindow.h"
#include "app/ConfirmAlert.h"
#include "app/NoticeAlert.h"
#include "app/OVSetup.h"
#include "kit/OVColors.h"
#include "kit/QNMRAboutWindow.h"
#include "kit/QNMRThemes.h"
#include "records/OVPrefs.h"
#include "services/AppModel.h"
#include "store/OVStore.h"

#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProxyStyle>
#include <QStyle>
#include <gtest/gtest.h>

#include <memory>

namespace {

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace

TEST(AppLook, QuestionsNoticesMenusAndFileDialogsFollowEveryTheme)
{
    testsupport::ScratchDir scratch;
    OVStore store(scratch.file(QStringLiteral("look.sqlite")));
    OVStore::setShared(&store);
    OVSetup::configure();
    OVSetup::styleApplication();
    // Fusion, under the kit's style that sizes Qt's controls by the zoom.
    const QStyle* style = QApplication::style();
    if (const auto* kit = qobject_cast<const QProxyStyle*>(style))
        style = kit->baseStyle();
    EXPECT_EQ(style->name().toLower(), QStringLiteral("fusion"));
    auto window = std::make_unique<AppWindow>();
    window->show();
    settle();

    const QPalette defaultLight = QApplication::style()->standardPalette();
    QList<QColor> windows;
    for (const QNMRTheme& theme : QNMRThemes::all()) {
        QNMRThemes::setCurrentID(theme.id);
        settle();
        const QColor wanted = OVColors::palette(theme).color(QPalette::Window);
        windows.append(wanted);

        AppModel::shared().setConfirm(ConfirmRequest(QStringLiteral("Delete?"), QStringLiteral("Gone for good."),
                                                     QStringLiteral("Delete"), [] {}));
        settle();
        QMessageBox* question = window->confirmAlert()->box();
        ASSERT_TRUE(question) << theme.id.toStdString();
        EXPECT_EQ(question->palette().color(QPalette::Window), wanted) << theme.id.toStdString();
        EXPECT_EQ(question->palette().color(QPalette::WindowText), theme.text.color()) << theme.id.toStdString();
        AppModel::shared().setConfirm(std::nullopt);

        AppModel::shared().setMessage(QStringLiteral("Saved."));
        settle();
        ASSERT_TRUE(window->noticeAlert()->box());
        EXPECT_EQ(window->noticeAlert()->box()->palette().color(QPalette::Window), wanted);
        AppModel::shared().setMessage(std::nullopt);

        QFileDialog files(nullptr, QStringLiteral("Export"), scratch.path());
        files.setOption(QFileDialog::DontUseNativeDialog);
        EXPECT_EQ(files.palette().color(QPalette::Window), wanted) << theme.id.toStdString();
        EXPECT_EQ(files.palette().color(QPalette::Base), OVColors::palette(theme).color(QPalette::Base));
        QMenu menu;
        EXPECT_EQ(menu.palette().color(QPalette::Window), wanted);
        EXPECT_EQ(QApplication::palette("QToolTip").color(QPalette::ToolTipText), theme.text.color());
        EXPECT_NE(wanted, defaultLight.color(QPalette::Window));
    }
    // Each theme has its own window colour: the palette really follows the change.
    EXPECT_GT(QSet<QRgb>([&] {
                  QSet<QRgb> s;
                  for (const QColor& c : windows)
                      s.insert(c.rgb());
                  return s;
              }())
                  .size(),
              4);
    window.reset();
    settle();
    OVStore::setShared(nullptr);
    OVPrefs::remove(QNMRThemes::key);
}

TEST(AppLook, WindowAndAboutBoxCarryTheIcon)
{
    OVSetup::configure();
    OVSetup::styleApplication();
    const QIcon icon = OVSetup::applicationIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_FALSE(icon.pixmap(96, 96).isNull());
    EXPECT_FALSE(QApplication::windowIcon().isNull());

    std::unique_ptr<QWidget> about(QNMRAboutWindow::makeView());
    // The first label with a picture is the icon's 96-point frame; it is not empty.
    const QLabel* frame = nullptr;
    for (const QLabel* label : about->findChildren<QLabel*>())
        if (!frame && !label->pixmap().isNull())
            frame = label;
    ASSERT_TRUE(frame);
    const QImage image = frame->pixmap().toImage();
    EXPECT_EQ(image.width(), 96);
    int painted = 0;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            painted += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
    EXPECT_GT(painted, 100);
}
