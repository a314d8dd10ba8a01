#pragma once
// The application's own help: twenty-nine fixed topics, one per screen plus the start
// guide, the CSV format, schedules, backups, walkthroughs, troubleshooting and
// reference pages. Built once on first use and never changed; the kit adds its own
// "look" and "about" topics after them.
//
// Invariants: ids are unique and stable (menus and links open topics by id); every
// screen has a topic "screen-" + its raw value; keywords are lower case; bodies use
// the help markup and name this program's Linux keys, folders and menu items.

#include "kit/QNMRHelpTopic.h"

#include <QList>

namespace OVHelp {

const QList<QNMRHelpTopic>& topics();

} // namespace OVHelp
