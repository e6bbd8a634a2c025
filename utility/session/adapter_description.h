// An adapter's description as the utility shows it. The adapter list ends each description with a
// line feed, which a tree item or a list cell would show as a second, empty line; the utility
// shows the text before it.
#pragma once

#include <string>

namespace kv::diag {

// The text of one description slot of AdapterList_A (KV_DESCRIPTION_CHARS bytes, in the ANSI code
// page), up to its first zero and without the line ends it closes with.
std::string adapterDescription(const char* description);

}  // namespace kv::diag
