#pragma once
// Titles shown as they are written. Menus, buttons and check boxes read "&" as the
// mark of a shortcut letter; a name a grower typed ("Salt & Pepper") must show its
// "&" instead, so every such title passes through here.

#include <QString>

namespace KitText {

// "&" doubled: the text shows as itself in a menu, button or check box title.
QString literal(const QString& text);

} // namespace KitText
