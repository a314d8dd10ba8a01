#include "kit/QNMRKit.h"

#include "kit/QNMRHelp.h"
#include "kit/QNMRKitHost.h"
#include "kit/QNMRThemes.h"
#include "records/OVInfo.h"

namespace QNMRKit {

void install(const std::optional<QString>& appName, const QList<QNMRHelpTopic>& helpTopics,
             const QList<QNMRTheme>& extraThemes)
{
    QNMRKitHost::setAppName(appName.value_or(OVInfo::appName));
    QNMRHelp::setTopics(helpTopics);
    QNMRThemes::registerThemes(extraThemes);
}

} // namespace QNMRKit
