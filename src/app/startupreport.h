#pragma once
#include <QString>

class QWidget;

namespace kirano {

// When KIRANO_STARTUP_REPORT names a file, Kirano writes there, once its
// window is shown and the first events are handled, what that window shows
// (its caption and the rows of the forum list, UTF-8, one per line) and then
// ends with status 0. CI starts the program this way through the README's
// run command, to prove that a fresh checkout builds, makes the demo and
// shows its forums. Without the variable nothing happens.
// True when asked.
bool reportStartupWhenAsked(QWidget *window);

// What reportStartupWhenAsked() writes.
QString startupReport(QWidget *window);

} // namespace kirano
