// The ADAPTER argument: the index `kelvactl list` shows, an Ethernet address in any common
// spelling, or a connection name ("Local Area Connection", in any letter case).
#pragma once

#include <string_view>
#include <vector>

#include "kv/jobs/adapter_facts.h"

namespace kv::kelvactl {

// The adapter the argument names; Failure (no such adapter) when none does. An address names the
// physical adapter before the VLANs on it, which carry its address too.
jobs::ListedAdapter resolveAdapter(std::string_view argument, const std::vector<jobs::ListedAdapter>& adapters);

}  // namespace kv::kelvactl
