#include "app/all_pages_mode.h"

#include <algorithm>

#include "app/settings.h"
#include "kv/jobs/library_text.h"
#include "kv/jobs/registry_text.h"
#include "kv/platform/registry.h"

namespace kv::diag {

namespace {

bool registryAsksForAllPages() {
    platform::RegKey key;
    if (platform::registry().openKeyA(platform::hiveKey(platform::Hive::LocalMachine), kSettingsKey,
                                      platform::regaccess::kRead, key.receive()) != platform::err::kSuccess)
        return false;
    const auto text = jobs::readRegistryText(key.get(), kAllPagesValue);
    if (!text) return false;
    const auto number = jobs::scanDecimal(*text);
    return number && *number != 0;
}

}  // namespace

bool isAllPagesSwitch(const std::string& switchName) {
    if (switchName.size() != sizeof kAllPagesSwitch - 1) return false;
    return std::equal(switchName.begin(), switchName.end(), kAllPagesSwitch,
                      [](char a, char b) { return (a >= 'A' && a <= 'Z' ? static_cast<char>(a + 32) : a) == b; });
}

bool allPagesMode(bool switchGiven) { return switchGiven || registryAsksForAllPages(); }

}  // namespace kv::diag
