#pragma once
#include <QFont>

namespace kirano {

// The window's proportional font, 12 pixels.
QFont windowFont();
// The fixed-pitch font of the data lists, the patrol list and the top page:
// a half-width character is exactly half a full-width one.
QFont fixedFont();

} // namespace kirano
