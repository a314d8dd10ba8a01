#include "kit/QNMRKitMenus.h"

#include <QMenu>

namespace QNMRKitMenus {

void populateViewMenu(QMenu*) {}
void populateThemeMenu(QMenu*) {}
void populateHelpMenu(QMenu*) {}

} // namespace QNMRKitMenus
