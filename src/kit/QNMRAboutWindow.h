#pragma once
// The About window: fixed 440 x 380, titled "About <app>", made once; showing it again
// raises the same window with fresh content.

namespace QNMRAboutWindow {

void show();

} // namespace QNMRAboutWindow
