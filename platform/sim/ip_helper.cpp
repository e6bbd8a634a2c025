// The system's adapter table on the simulated machine: one entry per present adapter, in the
// machine's order, with its GUID, description, Ethernet address and IPv4 settings. Each entry
// takes 640 bytes of the caller's buffer (an IP_ADAPTER_INFO); a smaller buffer gets
// ERROR_BUFFER_OVERFLOW and the size to ask with. machine.json's "ipHelper.faults.error" makes
// every call fail with that error. Calls are traced as "iphelper <buffer bytes> <ok|err=n>".
#include "kv/platform/ip_helper.h"

#include "kv/platform/types.h"
#include "kv/sim/host.h"
#include "kv/text.h"

namespace kv::platform {

namespace {

using sim::Host;

constexpr uint32_t kEntryBytes = 640;
constexpr uint32_t kErrorNoData = 232;
// Windows numbers the interfaces from 1 (the loopback interface) on.
constexpr uint32_t kFirstInterfaceIndex = 2;

AdapterAddressInfo entryOf(const sim::Adapter& a) {
    AdapterAddressInfo e;
    e.adapterName = utf16ToAnsi(a.guid);
    e.description = utf16ToAnsi(a.description);
    e.hardwareAddress.assign(a.mac.begin(), a.mac.end());
    e.index = kFirstInterfaceIndex + a.index;
    e.ipAddresses = {a.ip.address.empty() ? "0.0.0.0" : a.ip.address};
    e.ipMasks = {a.ip.mask.empty() ? "0.0.0.0" : a.ip.mask};
    e.gateway = a.ip.gateway;
    e.dhcpEnabled = a.ip.dhcp;
    return e;
}

class SimIpHelper : public IpHelper {
public:
    uint32_t adaptersInfo(uint32_t bufferBytes, uint32_t* requiredBytes,
                          std::vector<AdapterAddressInfo>* table) override {
        Host::Call call(Host::get());
        sim::Machine& machine = call.host.machine();
        std::vector<AdapterAddressInfo> entries;
        for (const auto& a : machine.adapters)
            if (a->present) entries.push_back(entryOf(*a));
        const auto needed = static_cast<uint32_t>(entries.size()) * kEntryBytes;

        uint32_t result = static_cast<uint32_t>(machine.config["ipHelper"]["faults"]["error"].asUInt(0));
        if (result == err::kSuccess) {
            if (entries.empty()) {
                result = kErrorNoData;
            } else if (bufferBytes < needed) {
                result = err::kBufferOverflow;
                if (requiredBytes) *requiredBytes = needed;
            }
        }
        call.host.trace().add("iphelper " + std::to_string(bufferBytes) + " " +
                              (result ? "err=" + std::to_string(result) : std::string("ok")));
        if (result == err::kSuccess && table) *table = std::move(entries);
        return result;
    }
};

}  // namespace

IpHelper& ipHelper() {
    static SimIpHelper instance;
    return instance;
}

}  // namespace kv::platform
