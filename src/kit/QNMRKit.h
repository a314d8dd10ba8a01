#pragma once
// The kit's entry point: hands it what an application supplies (display name, help
// topics, extra themes). Run once at start-up on the main thread, before any kit
// window or menu is drawn. Calling it again replaces the name and topics and adds no
// theme twice.

#include "kit/QNMRHelpTopic.h"
#include "kit/QNMRTheme.h"

#include <QList>
#include <QString>
#include <optional>

namespace QNMRKit {

// No name gives "QNMR Orvane"; a given name is used exactly as it is.
void install(const std::optional<QString>& appName, const QList<QNMRHelpTopic>& helpTopics,
             const QList<QNMRTheme>& extraThemes);

} // namespace QNMRKit
