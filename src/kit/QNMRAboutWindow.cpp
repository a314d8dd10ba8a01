#include "kit/QNMRAboutWindow.h"

namespace QNMRAboutWindow {

void show() {}

} // namespace QNMRAboutWindow
