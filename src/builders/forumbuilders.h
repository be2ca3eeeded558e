#pragma once
// The commands built on one forum: from the forum list (pop2), the
// conference-room list (pop5) and the library list (pop6).

#include "builders/buildcontext.h"

namespace kirano {

std::optional<PatrolEntry> buildMestitlea(BuildContext &context);      // N19
std::optional<PatrolEntry> buildDltitlea(BuildContext &context);       // N20
std::optional<PatrolEntry> buildMesread(BuildContext &context);        // N6
std::optional<PatrolEntry> buildMesup(BuildContext &context);          // N7
std::optional<PatrolEntry> buildMesrc(BuildContext &context);          // N8
std::optional<PatrolEntry> buildDltitleb(BuildContext &context);       // N9
std::optional<PatrolEntry> buildDldownFromList(BuildContext &context); // N10
std::optional<PatrolEntry> buildDldown(BuildContext &context);         // N26

// The file name proposed for a row of a library file list: bytes 40 to 51,
// without blanks and control characters at either end.
QByteArray proposedFileName(const QByteArray &row);

} // namespace kirano
