// The library's process-wide state: the channel handle, the current adapter index, the
// device-name table and the qualified-adapter count. Plain variables without locks: callers
// serialise selection against other calls.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "kv/platform/types.h"

namespace kv::lib {

// Device names of the listed adapters, one slot per binding index, each holding the name
// followed by a line feed as the listing formats it.
class DeviceNameTable {
public:
    static constexpr size_t kSlots = 10;
    // Characters a slot keeps of a name; the line feed and the terminator come on top.
    static constexpr size_t kNameChars = 255;

    void store(size_t slot, std::u16string_view deviceName);
    // The slot's name without its line feed; empty for an empty slot or an index outside the table.
    std::u16string name(int index) const;
    // The adapter GUID: the name without its 8-character device prefix.
    std::u16string guid(int index) const;

private:
    std::array<std::array<char16_t, kNameChars + 2>, kSlots> slots_{};
};

struct LibraryState {
    platform::NativeHandle channel = platform::invalidHandle();
    int currentIndex = 0;
    DeviceNameTable deviceNames;
    int qualifiedAdapters = 0;
};

LibraryState& state();

// The GUID of the current adapter.
inline std::u16string currentAdapterGuid() { return state().deviceNames.guid(state().currentIndex); }

}  // namespace kv::lib
