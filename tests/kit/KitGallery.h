#pragma once
// Builds a gallery of the kit's widgets and renders widgets to images the way the
// snapshot mode does (laid out at a fixed width, full height, grabbed offscreen).

#include <QImage>
#include <QString>
#include <QWidget>

namespace kitgallery {

// A page with a header, cards with and without a title, row boxes, an empty state,
// tags, the four button variants, search fields, form fields and day pickers.
QWidget* makePage();
// An editor frame with a few fields and an error line.
QWidget* makeEditor();

// Lays w out at this width and the height it wants, shows it offscreen and grabs it.
QImage render(QWidget& w, int width);

} // namespace kitgallery
