#pragma once
// The hairline that separates parts of the kit's windows (the about window's credit,
// the end of a help topic): one pixel of the theme's dim text colour at 35 %, with
// room around it.

#include <QColor>
#include <QMargins>

class QWidget;

namespace KitRule {

// A horizontal rule of `dim` at 35 % opacity inside `around` (pixels).
QWidget* make(const QColor& dim, const QMargins& around);

} // namespace KitRule
