#include "state.h"

#include <algorithm>

#include "kv/protocol.h"

namespace kv::lib {

LibraryState& state() {
    static LibraryState instance;
    return instance;
}

void DeviceNameTable::store(size_t slot, std::u16string_view deviceName) {
    if (slot >= kSlots) return;
    auto& s = slots_[slot];
    s.fill(0);
    const size_t n = std::min(deviceName.size(), kNameChars);
    std::copy_n(deviceName.begin(), n, s.begin());
    s[n] = u'\n';
}

std::u16string DeviceNameTable::name(int index) const {
    if (index < 0 || static_cast<size_t>(index) >= kSlots) return {};
    const auto& s = slots_[static_cast<size_t>(index)];
    const auto end = std::find(s.begin(), s.end(), u'\0');
    std::u16string text(s.begin(), end);
    if (!text.empty() && text.back() == u'\n') text.pop_back();
    return text.substr(0, kNameChars);
}

std::u16string DeviceNameTable::guid(int index) const {
    const std::u16string full = name(index);
    return full.size() > protocol::kDeviceNamePrefixLength ? full.substr(protocol::kDeviceNamePrefixLength)
                                                           : std::u16string();
}

}  // namespace kv::lib
