#pragma once
#include <QFont>

namespace kirano {

// The window's proportional font, 12 pixels.
QFont windowFont();
// The fixed-pitch font of the data lists, the patrol list and the top page:
// a half-width character is exactly half a full-width one.
QFont fixedFont();
// The height of a list row in `font`: its line spacing and a pixel above and
// below, so that no glyph (an underscore, a descender) is cut by the row's
// edge or by the frame of a selected row.
int rowHeight(const QFont &font);

} // namespace kirano
