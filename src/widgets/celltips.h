#pragma once

class QAbstractItemView;
class QHelpEvent;

namespace kirano {

// The tooltip of a cell whose text the view cuts short: the text whole, and
// after it what the model's own tooltip says (a mark's problems). False,
// and nothing shown, for a cell shown whole: the view then shows the
// model's tooltip as usual. Called from a view's viewportEvent().
bool showWholeCellText(QAbstractItemView *view, QHelpEvent *event);

} // namespace kirano
