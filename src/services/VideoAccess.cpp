#include "services/VideoAccess.h"

#include "services/NetStatus.h"
#include "services/Opener.h"

namespace VideoAccess {

bool watch(const GrowVideo& video)
{
    if (!NetStatus::shared().isOnline())
        return false;
    Opener::open(video.url);
    return true;
}

} // namespace VideoAccess
