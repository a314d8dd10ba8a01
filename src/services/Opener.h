#pragma once
// The one door through which the application hands an address to the desktop.
// Every URL the program opens goes through `Opener::open`, so the self-check can
// swap in a recorder and the snapshot mode a closure that does nothing.
// Invariant: the default opener passes on only web pages (http or https with a
// host); files, custom schemes and anything else are dropped, so no data value can
// make the program launch a local file or another program. Folders are shown through
// a door of their own, `showFolder`, whose default opens only an existing local folder.

#include <QUrl>
#include <functional>

namespace Opener {

using Handler = std::function<void(const QUrl&)>;

// Whether the default opener would hand this address on.
bool isWebPage(const QUrl& url);

// The default: hands a web page to the desktop's browser and ignores the result;
// any other address is ignored.
void openInSystem(const QUrl& url);

// The default folder opener: hands an existing local folder to the desktop's file
// manager; anything else is ignored.
void showFolderInSystem(const QUrl& folder);

// The replaceable opener; owned by the self-check and the snapshot mode, which
// replace it before they open anything. Must never be set to an empty function.
inline Handler open = openInSystem;
// The replaceable folder opener (revealing a file without a file manager service);
// same owners and rule as `open`.
inline Handler showFolder = showFolderInSystem;

} // namespace Opener
