#include "services/AppModel.h"

AppModel& AppModel::shared()
{
    // Deliberately never destroyed: views may still read it while the process ends.
    static AppModel* const instance = new AppModel;
    return *instance;
}

void AppModel::setMessage(std::optional<QString> text)
{
    m_message = std::move(text);
    emit messageChanged();
}
