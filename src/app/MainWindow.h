#pragma once
// The working surface of the application's window: the side rail, a faint vertical
// line and the screen host filling the rest, in one row without gaps. The sheet,
// the delete question and the notice that screens ask for through the app model are
// presented by the window around it (EditorHost, ConfirmAlert, NoticeAlert), so they
// outlive a rebuild of this content on a theme or zoom change.

#include <QWidget>

class AppModel;
class ScreenHost;
class SideRail;

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    MainWindow(AppModel& model, QWidget* parent = nullptr);

    SideRail* rail() const { return m_rail; }
    ScreenHost* screenHost() const { return m_host; }

private:
    SideRail* m_rail = nullptr;
    ScreenHost* m_host = nullptr;
};
