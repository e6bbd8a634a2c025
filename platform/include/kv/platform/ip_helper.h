// The IP helper: the system's adapter table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kv::platform {

// One entry of the system's adapter table (an IP_ADAPTER_INFO).
struct AdapterAddressInfo {
    std::string adapterName;  // "{GUID}"
    std::string description;
    std::vector<uint8_t> hardwareAddress;  // AddressLength bytes, at most 8
    uint32_t index = 0;
    // The IP address strings of the adapter, first first; "0.0.0.0" when it has none.
    std::vector<std::string> ipAddresses;
    std::vector<std::string> ipMasks;
    std::string gateway;
    bool dhcpEnabled = false;
};

class IpHelper {
public:
    virtual ~IpHelper() = default;
    // GetAdaptersInfo with its buffer protocol: the table is returned when it fits in
    // bufferBytes; otherwise the result is ERROR_BUFFER_OVERFLOW and requiredBytes tells the size
    // to ask with. Returns a Windows error number.
    virtual uint32_t adaptersInfo(uint32_t bufferBytes, uint32_t* requiredBytes,
                                  std::vector<AdapterAddressInfo>* table) = 0;
};

IpHelper& ipHelper();

}  // namespace kv::platform
