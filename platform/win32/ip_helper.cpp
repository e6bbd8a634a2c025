// The system's adapter table through GetAdaptersInfo, with its buffer protocol passed through:
// a buffer too small for the table answers ERROR_BUFFER_OVERFLOW and the size to ask with.
#include "kv/platform/ip_helper.h"

#include <windows.h>
// iphlpapi.h relies on the types of windows.h.
#include <iphlpapi.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace kv::platform {

namespace {

// Text of a fixed-size field, which the system need not terminate.
template <size_t N>
std::string field(const char (&text)[N]) {
    return std::string(text, strnlen(text, N));
}

AdapterAddressInfo entryOf(const IP_ADAPTER_INFO& a) {
    AdapterAddressInfo e;
    e.adapterName = field(a.AdapterName);
    e.description = field(a.Description);
    const size_t length = std::min<size_t>(a.AddressLength, sizeof a.Address);
    e.hardwareAddress.assign(a.Address, a.Address + length);
    e.index = a.Index;
    for (const IP_ADDR_STRING* ip = &a.IpAddressList; ip; ip = ip->Next) {
        e.ipAddresses.push_back(field(ip->IpAddress.String));
        e.ipMasks.push_back(field(ip->IpMask.String));
    }
    e.gateway = field(a.GatewayList.IpAddress.String);
    e.dhcpEnabled = a.DhcpEnabled != 0;
    return e;
}

class Win32IpHelper : public IpHelper {
public:
    uint32_t adaptersInfo(uint32_t bufferBytes, uint32_t* requiredBytes,
                          std::vector<AdapterAddressInfo>* table) override {
        // Whole records, so that the system's pointers into the buffer stay aligned.
        std::vector<IP_ADAPTER_INFO> buffer((bufferBytes + sizeof(IP_ADAPTER_INFO) - 1) / sizeof(IP_ADAPTER_INFO));
        ULONG size = bufferBytes;
        const DWORD result = GetAdaptersInfo(buffer.empty() ? nullptr : buffer.data(), &size);
        if (requiredBytes && (result == ERROR_BUFFER_OVERFLOW || result == ERROR_SUCCESS)) *requiredBytes = size;
        if (result != ERROR_SUCCESS) return result;
        table->clear();
        for (const IP_ADAPTER_INFO* a = buffer.data(); a; a = a->Next) table->push_back(entryOf(*a));
        return ERROR_SUCCESS;
    }
};

}  // namespace

IpHelper& ipHelper() {
    static Win32IpHelper instance;
    return instance;
}

}  // namespace kv::platform
