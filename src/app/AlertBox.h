#pragma once
// What ConfirmAlert and NoticeAlert share: one non-blocking, application-modal
// message box over the window at a time, its texts always plain (names, notes and
// error texts are never markup), and taking it down without its signals reaching the
// model again (a box being replaced must not clear the request that replaces it).

#include <QObject>
#include <QPointer>

class AppModel;
#include <QMessageBox>
class QWidget;

class AlertBox : public QObject {
    Q_OBJECT
public:
    QMessageBox* box() const { return m_box; }

protected:
    AlertBox(AppModel& model, QWidget* window);

    // A new box over the window with the given title, plain text; the caller adds its
    // texts and buttons, then hands it to present().
    QMessageBox* makeBox(const QString& title);
    // Widens a question past the width QMessageBox picks for it (that of its title
    // line, as its longer text wraps): wide enough for the title bar to show the title
    // whole and for the text to wrap into a few lines. Call once its texts are set.
    static void widen(QMessageBox* box);
    // Makes every text of the box plain and shows it as the current box.
    void present(QMessageBox* box);
    // Hides and lets go of the current box, if any.
    void dismiss();

    AppModel& m_model;

private:
    QWidget* m_window;
    QPointer<QMessageBox> m_box;
};
