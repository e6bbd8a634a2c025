// Enumerating the protocol driver's adapter bindings by index.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace kv::lib {

struct Binding {
    std::u16string deviceName;
    std::u16string description;
};

// Sends IOCTL_PROT_QUERY_BINDING for `index`. Nothing when the request fails; the system's last
// error then tells why (ERROR_NO_MORE_ITEMS past the last binding).
std::optional<Binding> queryBinding(uint32_t index);

// Walks the bindings from index 0, at most as many as the device-name table holds: stores each
// device name in the table and hands the binding to `visit`. Returns the number walked, or -1
// when the enumeration ended with an error other than ERROR_NO_MORE_ITEMS (after writing the
// console line that reports it).
int walkBindings(const std::function<void(uint32_t index, const Binding& binding)>& visit);

// Reads a NUL-terminated UTF-16 string at `offset` of the reply, never past its end.
std::u16string replyString(const uint8_t* reply, uint32_t replyBytes, uint32_t offset);

}  // namespace kv::lib
