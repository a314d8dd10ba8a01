#pragma once
// The application-wide app model: the navigation and notice state of the window —
// which screen is shown, which editor sheet is open, which delete waits for a yes,
// which notice is up, and three selections that screens share with menus. It holds
// no records and never touches the store; it lives below the interface (core
// services set `message`) and holds no widget.
// Invariants: there is exactly one instance for the life of the process; every
// assignment through a setter, also of an equal value, emits that field's signal
// (a notice repeated after a dismissal is shown again). Main thread only.

#include "services/ConfirmRequest.h"
#include "services/EditSheet.h"
#include "services/Screen.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class AppModel : public QObject {
    Q_OBJECT
public:
    // Made on first use, kept until the process ends.
    static AppModel& shared();

    Screen screen() const { return m_screen; }
    void setScreen(Screen screen);

    // The editor sheet open over the window; nothing when none.
    const std::optional<EditSheet>& sheet() const { return m_sheet; }
    void setSheet(std::optional<EditSheet> sheet);

    // The pending destructive question; nothing when none.
    const std::optional<ConfirmRequest>& confirm() const { return m_confirm; }
    void setConfirm(std::optional<ConfirmRequest> request);

    // The notice text (it may hold line breaks); nothing when none is shown.
    const std::optional<QString>& message() const { return m_message; }
    void setMessage(std::optional<QString> text);
    // What dismissing the notice does.
    void clearMessage() { setMessage(std::nullopt); }

    // The zone the Climate screen shows.
    const std::optional<qint64>& climateZoneID() const { return m_climateZoneID; }
    void setClimateZoneID(std::optional<qint64> zoneID);

    // The reference crop selected in the Crop Library.
    const std::optional<QString>& libraryCropID() const { return m_libraryCropID; }
    void setLibraryCropID(std::optional<QString> cropID);

    // The Video Library's topic filter; "All" at first.
    const QString& videoTopic() const { return m_videoTopic; }
    void setVideoTopic(const QString& topic);

    // Runs the operation at once. True when it returned normally; when it threw, the
    // error's user text becomes the notice and the result is false (never rethrown).
    bool act(const std::function<void()>& operation);

    // Raises the question "Delete " + name + "?" with the detail, a blank line (only
    // when a detail is given) and the can't-be-undone line; the action runs only when
    // the user presses Delete.
    void askDelete(const QString& name, const QString& detail, std::function<void()> action);

signals:
    void screenChanged();
    void sheetChanged();
    void confirmChanged();
    void messageChanged();
    void climateZoneChanged();
    void libraryCropChanged();
    void videoTopicChanged();

private:
    AppModel() = default;

    Screen m_screen = Screen::today;
    std::optional<EditSheet> m_sheet;
    std::optional<ConfirmRequest> m_confirm;
    std::optional<QString> m_message;
    std::optional<qint64> m_climateZoneID;
    std::optional<QString> m_libraryCropID;
    QString m_videoTopic = QStringLiteral("All");
};

// Closes the open editor sheet: AppModel::shared().setSheet(nothing).
void closeSheet();
