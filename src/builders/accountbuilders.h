#pragma once
// The commands of the whole account: from the service list (pop1), the
// notices (pop7) and the BBS categories (pop8).

#include "builders/buildcontext.h"

namespace kirano {

std::optional<PatrolEntry> buildBill(BuildContext &context);      // N15
std::optional<PatrolEntry> buildMailuptxt(BuildContext &context); // N16
std::optional<PatrolEntry> buildMailupbin(BuildContext &context); // N17
std::optional<PatrolEntry> buildMyforum(BuildContext &context);   // N18
std::optional<PatrolEntry> buildNewtitle(BuildContext &context);  // N12
std::optional<PatrolEntry> buildNew(BuildContext &context);       // N11
std::optional<PatrolEntry> buildBbsup(BuildContext &context);     // N29

} // namespace kirano
