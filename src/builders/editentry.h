#pragma once
// Changing an entry in place: the builder of its command asks its questions
// again, each starting from the entry's value.

#include "builders/buildcontext.h"

namespace kirano {

// The entry's command asks something when built (a file, a number, a name):
// only then can it be changed in place; otherwise only its days can.
bool canEditInPlace(const PatrolEntry &entry);

// The entry with the answers to its builder's questions, asked starting from
// its values under the builder's rules; nothing when a question is cancelled
// or an answer refused (after the builder's message). context.editing holds
// the entry.
std::optional<PatrolEntry> editInPlace(BuildContext &context);

} // namespace kirano
