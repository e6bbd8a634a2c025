#include "pages/vlan_id_text.h"

#include "kv/jobs/library_text.h"

namespace kv::diag {

std::optional<int> vlanIdFromText(std::string_view text) {
    const std::optional<int32_t> number = jobs::scanDecimal(text);
    if (!number || *number < kLowestVlanId || *number > kHighestVlanId) return std::nullopt;
    return *number;
}

}  // namespace kv::diag
