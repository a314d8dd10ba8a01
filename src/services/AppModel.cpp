#include "services/AppModel.h"

#include "store/OVError.h"

#include <exception>

AppModel& AppModel::shared()
{
    // Deliberately never destroyed: views may still read it while the process ends.
    static AppModel* const instance = new AppModel;
    return *instance;
}

void AppModel::setScreen(Screen screen)
{
    m_screen = screen;
    emit screenChanged();
}

void AppModel::setSheet(std::optional<EditSheet> sheet)
{
    m_sheet = std::move(sheet);
    emit sheetChanged();
}

void AppModel::setConfirm(std::optional<ConfirmRequest> request)
{
    m_confirm = std::move(request);
    emit confirmChanged();
}

void AppModel::setMessage(std::optional<QString> text)
{
    m_message = std::move(text);
    emit messageChanged();
}

void AppModel::setClimateZoneID(std::optional<qint64> zoneID)
{
    m_climateZoneID = zoneID;
    emit climateZoneChanged();
}

void AppModel::setLibraryCropID(std::optional<QString> cropID)
{
    m_libraryCropID = std::move(cropID);
    emit libraryCropChanged();
}

void AppModel::setVideoTopic(const QString& topic)
{
    m_videoTopic = topic;
    emit videoTopicChanged();
}

bool AppModel::act(const std::function<void()>& operation)
{
    try {
        operation();
        return true;
    } catch (const OVError& error) {
        setMessage(error.errorDescription());
    } catch (const std::exception& error) {
        setMessage(QString::fromUtf8(error.what()));
    }
    return false;
}

void AppModel::askDelete(const QString& name, const QString& detail, std::function<void()> action)
{
    const QString warning = QStringLiteral("This can't be undone (a backup made earlier can bring it back).");
    const QString message = detail.isEmpty() ? warning : detail + QStringLiteral("\n\n") + warning;
    setConfirm(ConfirmRequest(QStringLiteral("Delete ") + name + QStringLiteral("?"), message,
                              QStringLiteral("Delete"), std::move(action)));
}

void closeSheet()
{
    AppModel::shared().setSheet(std::nullopt);
}
