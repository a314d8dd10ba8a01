#pragma once
// The frame of every editor sheet: header (symbol, title), the content stack (12
// points apart) in a scroll area, the error line when there is one, and Cancel and the
// save button at the bottom right, all on the theme's wood. Exactly `width` points
// wide, padding included, and 300 to 720 tall: as tall as its rows want within those
// bounds, the content scrolling beyond them.
// Escape emits cancelRequested once; Return or Enter emits saveRequested once
// wherever the focus is in the frame (a text area keeps it for a new line, an open
// pop-up takes it first), also when the keys reach the frame's dialog directly. No
// push button in the frame is default or auto-default, so Return never clicks the
// focused button; Space still does. The frame never closes its window: the editor
// decides what saving and cancelling mean.
//
// In a dialog the frame also keeps within the available area of the dialog's screen
// (less room for the window's title bar): narrower and shorter than its bounds when
// the screen is small or the zoom large, the form scrolling while the title and the
// button row stay in view.

#include <QString>
#include <QWidget>
#include <QSize>
#include <optional>

class OVLabel;
class OVScroll;
class QLabel;
class QNChromeButton;
class QVBoxLayout;

class OVEditorFrame : public QWidget {
    Q_OBJECT
public:
    OVEditorFrame(const QString& title, const QString& symbol, double width = 620,
                  QWidget* parent = nullptr);

    void setTitle(const QString& title);
    QString title() const;
    void setSymbol(const QString& symbol);
    // Nothing hides the error line; any text (the empty one too) shows it.
    void setError(const std::optional<QString>& error);
    std::optional<QString> error() const { return m_error; }
    void setSaveTitle(const QString& title);

    QVBoxLayout* body() const { return m_body; }
    OVScroll* scroll() const { return m_scroll; }
    QNChromeButton* saveButton() const { return m_save; }
    QNChromeButton* cancelButton() const { return m_cancel; }

    // The screen area frames in dialogs keep within instead of their screen's
    // available area (tests stand in a screen of a given size); nothing restores it.
    static void setScreenAreaOverride(std::optional<QSize> area);
    // The room a dialog's title bar and borders take beside the frame, in pixels.
    static constexpr int windowChrome = 48;

signals:
    void saveRequested();
    void cancelRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the key was Escape or Return/Enter and its action ran.
    bool handleKey(QKeyEvent* event);
    // Bounds the frame by the screen of its dialog; leaves a frame outside one alone.
    void fitScreen();
    // No push button of the frame answers Return by itself.
    void disarmButtons();

    QVBoxLayout* m_body = nullptr;
    OVScroll* m_scroll = nullptr;
    QNChromeButton* m_save = nullptr;
    QNChromeButton* m_cancel = nullptr;
    QWidget* m_errorLine = nullptr;
    OVLabel* m_errorText = nullptr;
    OVLabel* m_title = nullptr;
    QLabel* m_symbol = nullptr;
    QWidget* m_watchedWindow = nullptr;
    std::optional<QString> m_error;
    double m_width;
};
