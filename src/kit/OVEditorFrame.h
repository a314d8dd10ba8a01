#pragma once
// The frame of every editor sheet: header (symbol, title), the content stack (12
// points apart) in a scroll area, the error line when there is one, and Cancel and the
// save button at the bottom right, all on the theme's wood. Exactly `width` points
// wide, padding included, and 300 to 720 tall: as tall as its rows want within those
// bounds, the content scrolling beyond them.
// Escape emits cancelRequested once, Return in a one-line box saveRequested once
// (Return in a text area adds a line), also when the keys reach the frame's dialog
// directly. The frame never closes its window: the editor decides what saving and
// cancelling mean.

#include <QString>
#include <QWidget>
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

signals:
    void saveRequested();
    void cancelRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the key was Escape or Return/Enter and its action ran.
    bool handleKey(QKeyEvent* event);

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
};
