#pragma once
// The commands on one patio (pop3), with its ID and password.

#include "builders/buildcontext.h"

namespace kirano {

std::optional<PatrolEntry> buildPatioread(BuildContext &context); // N21
std::optional<PatrolEntry> buildPatioup(BuildContext &context);   // N22
std::optional<PatrolEntry> buildPatiorc(BuildContext &context);   // N23

} // namespace kirano
