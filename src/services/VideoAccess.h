#pragma once
// Opens a grow video's page, but only while the machine is online: the video
// library links to the video site and downloads nothing, so offline there is
// nothing to show and the screen says so instead.

#include "services/GrowVideo.h"

#include <QString>

namespace VideoAccess {

inline const QString offlineMessage = QStringLiteral(
    "Needs internet. The video library links to YouTube; nothing is downloaded. Connect to the "
    "internet and try again.");

// Hands the video's address to Opener::open and returns true when online
// (NetStatus::override when set, else the monitored state); otherwise opens
// nothing and returns false.
bool watch(const GrowVideo& video);

} // namespace VideoAccess
