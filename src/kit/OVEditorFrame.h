#pragma once
// The frame of every editor sheet: header (symbol, title), the content stack (12
// points apart) in a scroll area, the error line when there is one, and Cancel and the
// save button at the bottom right. Exactly `width` points wide, 300 to 720 tall.
// Escape emits cancelRequested once, Return in a one-line box saveRequested once
// (Return in a text area adds a line). The frame never closes its window: the editor
// decides what saving and cancelling mean.

#include <QString>
#include <QWidget>
#include <optional>

class QNChromeButton;
class QVBoxLayout;

class OVEditorFrame : public QWidget {
    Q_OBJECT
public:
    OVEditorFrame(const QString& title, const QString& symbol, double width = 620,
                  QWidget* parent = nullptr);

    void setTitle(const QString& title);
    void setSymbol(const QString& symbol);
    // Nothing hides the error line; any text (the empty one too) shows it.
    void setError(const std::optional<QString>& error);
    std::optional<QString> error() const { return m_error; }
    void setSaveTitle(const QString& title);

    QVBoxLayout* body() const { return m_body; }
    QNChromeButton* saveButton() const { return m_save; }
    QNChromeButton* cancelButton() const { return m_cancel; }

signals:
    void saveRequested();
    void cancelRequested();

private:
    QVBoxLayout* m_body = nullptr;
    QNChromeButton* m_save = nullptr;
    QNChromeButton* m_cancel = nullptr;
    QWidget* m_errorLine = nullptr;
    std::optional<QString> m_error;
};
