#pragma once
// The application-wide app model: the one place that holds what the user is being
// told right now. Core services reach the user through it (a failed export write
// sets `message`), so it lives below the interface and holds no widget.
// Invariants: there is exactly one instance for the life of the process; every
// change of `message` (also to the same text) emits messageChanged, so a notice
// repeated after a dismissal is shown again.

#include <QObject>
#include <QString>
#include <optional>

class AppModel : public QObject {
    Q_OBJECT
public:
    // Made on first use, kept until the process ends.
    static AppModel& shared();

    // The one-line notice, nothing when none is shown.
    const std::optional<QString>& message() const { return m_message; }
    void setMessage(std::optional<QString> text);
    // What dismissing the notice does.
    void clearMessage() { setMessage(std::nullopt); }

signals:
    void messageChanged();

private:
    AppModel() = default;

    std::optional<QString> m_message;
};
