#include "adapter_reads.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

#include "adapter_context.h"
#include "hardware_images.h"
#include "kelvalib.h"
#include "kv/bytes.h"
#include "kv/eeprom_wire.h"
#include "kv/ndis.h"
#include "kv/platform/registry.h"
#include "kv/platform/system.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/text.h"
#include "registry_values.h"

namespace kv::capture {

namespace {

namespace p = protocol;
using Mac = std::array<uint8_t, 6>;

constexpr uint32_t kSupportedListBytes = 4096;
constexpr uint32_t kNoData = 232;  // the adapter table of a machine without adapters

std::string macText(const Mac& mac) {
    char text[24];
    std::snprintf(text, sizeof text, "%02x-%02x-%02x-%02x-%02x-%02x", mac[0], mac[1], mac[2], mac[3], mac[4], mac[5]);
    return text;
}

// The adapter's GUID from its driver key, which the library finds by the adapter's device name.
std::optional<std::u16string> guidFromDriverKey() {
    const KV_WCHAR driverKeyItself[1] = {0};
    KV_HKEY handle{};
    if (!API_GetRegHKey_W(&handle, driverKeyItself, 0)) return std::nullopt;
    const platform::RegKey key(static_cast<platform::RegKeyHandle>(handle));
    const auto value = readString(key.get(), u"NetCfgInstanceId");
    if (!value || value->empty()) return std::nullopt;
    return guidPart(*value);
}

const platform::AdapterAddressInfo* tableEntry(const std::vector<platform::AdapterAddressInfo>& table,
                                               const std::u16string& guid, const std::optional<Mac>& mac) {
    for (const auto& entry : table)
        if (!guid.empty() && equalsIgnoreCase(utf8ToUtf16(entry.adapterName), guid)) return &entry;
    for (const auto& entry : table)
        if (mac && entry.hardwareAddress.size() == mac->size() &&
            std::equal(mac->begin(), mac->end(), entry.hardwareAddress.begin()))
            return &entry;
    return nullptr;
}

std::optional<Mac> readIdentity(AdapterContext& a) {
    std::optional<Mac> mac;
    Mac bytes{};
    if (API_GetSrcMac(bytes.data())) {
        mac = bytes;
        a.json().set("mac", macText(bytes));
    } else {
        a.failed("Ethernet address", p::OID_802_3_CURRENT_ADDRESS);
    }
    std::array<uint8_t, p::adapter_record::kBytes> record{};
    if (!API_TVGetAdapterInfo(record.data())) {
        a.failed("adapter record", p::OID_TVX_ADAPTER_INFO);
        return mac;
    }
    namespace rec = p::adapter_record;
    auto field = [&](uint32_t offset, int digits) { return JsonValue(hexNumber(readU32(record, offset), digits)); };
    JsonValue& pci = a.json().member("pci");
    pci.set("vendor", field(rec::kVendorId, 4))
        .set("device", field(rec::kDeviceId, 4))
        .set("subVendor", field(rec::kSubVendorId, 4))
        .set("subSystem", field(rec::kSubSystemId, 4))
        .set("revision", field(rec::kRevisionId, 2))
        .set("bus", readU32(record, rec::kBus))
        .set("slot", readU32(record, rec::kSlot))
        .set("io", field(rec::kIoAddress, 4))
        .set("memory", field(rec::kMemoryAddress, 8))
        .set("irq", readU32(record, rec::kInterruptNumber));
    return mac;
}

void readLink(AdapterContext& a) {
    JsonValue& link = a.json().member("link");
    int status = 0;
    if (IsLink(&status))
        link.set("up", status == static_cast<int>(ndis::kMediaStateConnected));
    else
        a.failed("link state", p::OID_GEN_MEDIA_CONNECT_STATUS);
    uint32_t mbps = 0;
    if (API_GetLinkSpeed(&mbps)) {
        link.set("speed", mbps);
        a.setLinkSpeed(mbps);
    } else
        a.failed("link speed", p::OID_GEN_LINK_SPEED);
    int duplex = 0;
    if (API_GetDuplexMode(&duplex))
        link.set("duplex", duplex == 2 ? "full" : duplex == 1 ? "half" : "unknown");
    else
        a.failed("duplex", p::OID_GEN_LINK_STATE);
}

void readNdis(AdapterContext& a, std::u16string_view description) {
    JsonValue& ndisJson = a.json().member("ndis");
    int status = 0;
    if (API_GetHWStatus(&status))
        ndisJson.set("hardwareStatus", status);
    else
        a.failed("hardware status", p::OID_GEN_HARDWARE_STATUS);
    std::array<uint8_t, 50> vendor{};
    if (API_GetDriverDescription(vendor.data())) {
        size_t length = 0;
        while (length < vendor.size() && vendor[length]) ++length;
        const std::string text(reinterpret_cast<const char*>(vendor.data()), length);
        // The replay's default is the description in 8-bit form; only a different text is kept.
        if (text != utf16ToAnsi(description)) ndisJson.set("vendorDescription", utf16ToUtf8(ansiToUtf16(text)));
    } else {
        a.failed("vendor description", p::OID_GEN_VENDOR_DESCRIPTION);
    }
}

void readSupportedList(AdapterContext& a) {
    std::vector<uint8_t> list(kSupportedListBytes);
    uint32_t returned = 0;
    if (!API_GetOID(p::OID_GEN_SUPPORTED_LIST, list.data(), kSupportedListBytes, &returned)) {
        a.failed("supported command list", p::OID_GEN_SUPPORTED_LIST);
        return;
    }
    // The list ends where the ids do: no command has id 0.
    JsonValue ids = JsonValue::array();
    bool privateListed = false;
    for (size_t off = 0; off + 4 <= list.size(); off += 4) {
        const uint32_t id = readU32(list, off);
        if (id == 0) break;
        ids.push(hexNumber(id, 8));
        privateListed = privateListed || (id & 0xFFFF0000u) == 0xFF440000u;
    }
    if (!privateListed) a.setPrivateCommandsUnlisted();
    a.json().set("supportedOids", std::move(ids));
}

void readWakeupLength(AdapterContext& a) {
    uint32_t length = 0;
    uint32_t returned = 0;
    if (API_GetOID(p::OID_TVX_WAKEUP_PATTERN_LEN, &length, sizeof length, &returned))
        a.json().member("wakeupPatterns").set("testLength", length);
    else
        a.failed("wake-up pattern test length", p::OID_TVX_WAKEUP_PATTERN_LEN);
}

void readStatistics(AdapterContext& a) {
    namespace st = ndis::statistics;
    std::array<uint8_t, st::kBytes> record{};
    if (!API_GetStatistics(record.data())) {
        a.failed("statistics", p::OID_GEN_STATISTICS);
        return;
    }
    struct Counter {
        const char* name;
        uint32_t offset;
    };
    static constexpr Counter kCounters[] = {
        {"rxBytes", st::kInOctets},
        {"txBytes", st::kOutOctets},
        {"rxFrames", st::kInUcastPkts},
        {"txFrames", st::kOutUcastPkts},
        {"rxMulticastFrames", st::kInMulticastPkts},
        {"rxBroadcastFrames", st::kInBroadcastPkts},
        {"txMulticastFrames", st::kOutMulticastPkts},
        {"txBroadcastFrames", st::kOutBroadcastPkts},
        {"rxErrors", st::kInErrors},
        {"txErrors", st::kOutErrors},
        {"rxDiscards", st::kInDiscards},
        {"txDiscards", st::kOutDiscards},
    };
    JsonValue start = JsonValue::object();
    for (const auto& counter : kCounters) {
        const uint64_t value = readU64(record, counter.offset);
        if (value) start.set(counter.name, value);
    }
    int collisions = 0;
    if (API_GetTXRetryCount(&collisions)) {
        if (collisions) start.set("txOneCollisions", static_cast<uint32_t>(collisions));
    } else {
        a.failed("single-collision count", p::OID_802_3_XMIT_ONE_COLLISION);
    }
    if (!start.empty()) a.json().member("statistics").set("start", std::move(start));
}

void readIpSettings(AdapterContext& a, const platform::AdapterAddressInfo* entry) {
    if (!entry) {
        a.skipped("IP settings", "the system's adapter table does not list it");
        return;
    }
    JsonValue& ip = a.json().member("ip");
    ip.set("address", entry->ipAddresses.empty() ? "0.0.0.0" : entry->ipAddresses.front());
    ip.set("mask", entry->ipMasks.empty() ? "0.0.0.0" : entry->ipMasks.front());
    ip.set("gateway", entry->gateway.empty() ? "0.0.0.0" : entry->gateway);
    ip.set("dhcp", entry->dhcpEnabled);
}

// The connection key travels in registry.reg; without one the replay must not make one up.
void readConnectionKeyPresence(AdapterContext& a, const std::u16string& guid) {
    if (openMachineKey(std::u16string(kNetworkConnectionsKey) + u"\\" + guid + u"\\Connection").valid()) return;
    a.json().set("connectionName", false);
    a.note("has no connection name");
}

// The VLAN ID the miniport answers: a physical adapter that tags a VLAN itself keeps its ID, and
// a miniport that refuses the question is replayed as one without VLAN support.
void readVlanId(AdapterContext& a) {
    uint32_t id = 0;
    if (!API_GetVID(&id)) {
        a.json().set("vlanSupport", false);
        a.note("its miniport carries no VLANs");
        return;
    }
    if (id & 0xFFFF) a.json().set("vlanId", id & 0xFFFF);
}

std::u16string standInGuid(int index) {
    char text[48];
    std::snprintf(text, sizeof text, "{00000000-0000-0000-0000-%012d}", index);
    return utf8ToUtf16(text);
}

}  // namespace

std::vector<platform::AdapterAddressInfo> readAdapterTable(CaptureLog& log, uint32_t* error) {
    std::vector<platform::AdapterAddressInfo> table;
    uint32_t required = 0;
    *error = platform::ipHelper().adaptersInfo(0, &required, &table);
    if (*error == platform::err::kBufferOverflow)
        *error = platform::ipHelper().adaptersInfo(required, &required, &table);
    if (*error == kNoData) *error = platform::err::kSuccess;
    if (*error != platform::err::kSuccess) {
        log.skipped("the system's adapter table", "error " + std::to_string(*error));
        return {};
    }
    return table;
}

CapturedAdapter captureAdapter(int index, std::u16string_view description,
                               const std::vector<platform::AdapterAddressInfo>& adapterTable, CaptureLog& log) {
    AdapterContext a(index, log);
    a.json().set("guid", "").set("description", utf16ToUtf8(description));
    a.note("selecting");
    if (!API_SetCurrAdaptIdx(index)) {
        const uint32_t error = platform::system().lastError();
        a.skipped("reads", "it cannot be selected, error " + std::to_string(error));
        a.json().member("faults").set("openDeviceError", error ? error : platform::err::kGenFailure);
        a.json().set("guid", utf16ToUtf8(standInGuid(index)));
        return {std::move(a.json()), {}};
    }
    const std::optional<Mac> mac = readIdentity(a);
    std::u16string guid = guidFromDriverKey().value_or(u"");
    const platform::AdapterAddressInfo* entry = tableEntry(adapterTable, guid, mac);
    if (guid.empty() && entry) guid = utf8ToUtf16(entry->adapterName);
    if (guid.empty()) {
        a.skipped("GUID", "neither its driver key nor the system's adapter table names it; a stand-in is written");
        a.json().set("guid", utf16ToUtf8(standInGuid(index)));
    } else {
        a.json().set("guid", utf16ToUtf8(guid));
        a.note(utf16ToUtf8(guid) + " \"" + utf16ToUtf8(description) + "\"");
    }
    readLink(a);
    readNdis(a, description);
    readStatistics(a);
    readSupportedList(a);
    readWakeupLength(a);
    readIpSettings(a, entry);
    if (!guid.empty()) readConnectionKeyPresence(a, guid);
    readVlanId(a);
    const auto window = captureRegisterWindow(a);
    capturePciConfig(a);
    capturePhyPages(a);
    if (window) captureEepromWords(a, (*window)[eeprom::kConfigRegister]);
    a.recordFailures();
    return {std::move(a.json()), guid};
}

CapturedAdapter captureVlan(int index, const std::vector<platform::AdapterAddressInfo>& adapterTable, CaptureLog& log) {
    AdapterContext a(index, log);
    a.note("selecting the VLAN");
    uint32_t id = 0;
    std::u16string guid;
    if (API_SetCurrAdaptIdx(index)) {
        guid = guidFromDriverKey().value_or(u"");
        if (!API_GetVID(&id)) id = 0;
    }
    if (guid.empty() || (id & 0xFFFF) == 0) {
        a.skipped("VLAN", "its ID or GUID cannot be read; the replay leaves it out");
        return {JsonValue(), {}};
    }
    a.json().set("id", id & 0xFFFF).set("guid", utf16ToUtf8(guid));
    a.note(utf16ToUtf8(guid) + " VLAN " + std::to_string(id & 0xFFFF));
    readIpSettings(a, tableEntry(adapterTable, guid, std::nullopt));
    return {std::move(a.json()), guid};
}

}  // namespace kv::capture
