#pragma once

#include "modes/OVTestRun.h"

#include <QList>
#include <QString>
#include <QUrl>
#include <functional>

namespace OVSelfTest {

// Video watching offline and online, the sample greenhouse, reminder planning,
// climate-alert notifications and the Today summary.
void videoAndNotifyTests(OVTestRun& run, const QString& folder,
                         const std::function<QList<QUrl>()>& opened,
                         const std::function<void()>& clearOpened);

} // namespace OVSelfTest
