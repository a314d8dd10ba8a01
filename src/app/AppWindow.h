#pragma once
// The application's one window, titled "QNMR Orvane", 1380 x 900 at first and never
// smaller than 900 x 600 inside its menu bar: the theme root around the zoom host
// (content laid out at least 1180 x 760) around MainWindow, the menu bar, and the
// presenters of the sheet, the delete question and the notice. Closing it quits the
// application, also while the help or About window is open. Closing while a
// background job runs cancels an export or import; a backup or restore is finished
// first (a notice says so) and the window closes when it ends.

#include <QMainWindow>

class AppModel;
class ConfirmAlert;
class EditorHost;
class JobProgressBar;
class MainWindow;
class NoticeAlert;
class OVThemeRoot;
class QNZoomHost;

class AppWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit AppWindow(QWidget* parent = nullptr);

    // The current content (rebuilt on a theme or zoom change).
    MainWindow* mainWindow() const;
    OVThemeRoot* themeRoot() const { return m_root; }
    QNZoomHost* zoomHost() const;
    EditorHost* editorHost() const { return m_editors; }
    ConfirmAlert* confirmAlert() const { return m_confirm; }
    NoticeAlert* noticeAlert() const { return m_notice; }
    JobProgressBar* jobProgress() const { return m_progress; }

    // Brings the window to the front (a second copy asked for it).
    void bringToFront();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    OVThemeRoot* m_root = nullptr;
    EditorHost* m_editors = nullptr;
    ConfirmAlert* m_confirm = nullptr;
    NoticeAlert* m_notice = nullptr;
    JobProgressBar* m_progress = nullptr;
    bool m_quitWhenDone = false;
};
