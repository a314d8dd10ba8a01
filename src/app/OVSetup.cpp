#include "app/OVSetup.h"

#include "app/OVHelp.h"
#include "kit/OVThemes.h"
#include "kit/QNMRAbout.h"
#include "kit/QNMRKit.h"
#include "kit/QNMRThemes.h"
#include "records/OVInfo.h"

namespace OVSetup {

QStringList aboutLines()
{
    return {QStringLiteral("Greenhouse records, climate logs, schedules, harvests and costs."),
            QStringLiteral("Crop Library from university extension sources (checked ") +
                OVInfo::dataCheckedISO + QStringLiteral(").")};
}

void configure()
{
    // The default goes first, so nothing resolved during installation ever sees the
    // kit's own default theme.
    QNMRThemes::setDefaultID(OVThemes::groveID);
    QNMRKit::install(OVInfo::appName, OVHelp::topics(), OVThemes::extras());
    QNMRAbout::setExtraLines(aboutLines());
}

} // namespace OVSetup
