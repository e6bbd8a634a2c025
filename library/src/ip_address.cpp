// The current adapter's IPv4 address, found in the system's adapter table by its Ethernet address.
#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "kelvalib.h"
#include "kv/platform/ip_helper.h"
#include "kv/platform/types.h"
#include "notify.h"

using namespace kv;

namespace {

// The buffer the first table request offers: room for one entry.
constexpr uint32_t kFirstBufferBytes = 640;

std::optional<std::vector<platform::AdapterAddressInfo>> adapterTable() {
    std::vector<platform::AdapterAddressInfo> table;
    uint32_t required = 0;
    if (platform::ipHelper().adaptersInfo(kFirstBufferBytes, &required, &table) == platform::err::kSuccess)
        return table;
    // Ask again with the size the first call reported.
    const uint32_t error = platform::ipHelper().adaptersInfo(required, &required, &table);
    if (error == platform::err::kSuccess) return table;
    lib::writeStdout("GetAdaptersInfo call failed with " + std::to_string(error) + "\n");
    return std::nullopt;
}

// An entry is the adapter's when the bytes of its hardware address equal the adapter's Ethernet
// address; an entry without a hardware address is nobody's.
bool sameHardwareAddress(const platform::AdapterAddressInfo& entry, const std::array<uint8_t, 6>& mac) {
    const size_t n = std::min(entry.hardwareAddress.size(), mac.size());
    return n > 0 && std::equal(entry.hardwareAddress.begin(), entry.hardwareAddress.begin() + n, mac.begin());
}

std::optional<std::array<uint8_t, 4>> parseDottedQuad(const std::string& text) {
    int a = 0, b = 0, c = 0, d = 0;
    if (std::sscanf(text.c_str(), "%d.%d.%d.%d", &a, &b, &c, &d) != 4) return std::nullopt;
    return std::array<uint8_t, 4>{static_cast<uint8_t>(a), static_cast<uint8_t>(b), static_cast<uint8_t>(c),
                                  static_cast<uint8_t>(d)};
}

}  // namespace

KV_API int API_GetIPAddress(uint8_t* ip4) {
    const auto table = adapterTable();
    if (!table) return 1;
    std::array<uint8_t, 6> mac{};
    // Without the adapter's own address no entry can be told to be its.
    if (!API_GetSrcMac(mac.data())) return 1;
    for (const auto& entry : *table) {
        if (!sameHardwareAddress(entry, mac)) continue;
        if (entry.ipAddresses.empty()) break;
        const auto address = parseDottedQuad(entry.ipAddresses.front());
        if (address && ip4) std::copy(address->begin(), address->end(), ip4);
        break;
    }
    return 1;
}
