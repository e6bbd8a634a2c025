#include "chip_group.h"

#include <array>
#include <cstddef>

namespace kv::cyclenic {

namespace {

// "pci\ven_1d7a&dev_4450": vendor and device part of a PCI hardware id.
constexpr size_t kComparedChars = 21;

struct Group {
    std::string_view option;
    int group;
    std::array<std::string_view, 2> prefixes;
};

constexpr std::array<Group, 3> kGroups{{
    {"/4440", kGroup4440, {"pci\\ven_1d7a&dev_4440", "pci\\ven_1d7a&dev_4410"}},
    {"/4450", kGroup4450, {"pci\\ven_1d7a&dev_4450", "pci\\ven_1d7a&dev_4430"}},
    {"/4420", kGroup4420, {"pci\\ven_1d7a&dev_4420", {}}},
}};

constexpr bool prefixesHaveComparedLength() {
    for (const Group& g : kGroups)
        for (std::string_view p : g.prefixes)
            if (!p.empty() && p.size() != kComparedChars) return false;
    return true;
}
static_assert(prefixesHaveComparedLength());

}  // namespace

int groupOfOption(std::string_view token) {
    for (const Group& g : kGroups)
        if (token == g.option) return g.group;
    return kNoGroup;
}

bool belongsToGroup(std::string_view lowerComponentId, int group) {
    if (lowerComponentId.size() < kComparedChars) return false;
    const std::string_view head = lowerComponentId.substr(0, kComparedChars);
    for (const Group& g : kGroups) {
        if (g.group != group) continue;
        for (std::string_view p : g.prefixes)
            if (!p.empty() && head == p) return true;
    }
    return false;
}

}  // namespace kv::cyclenic
