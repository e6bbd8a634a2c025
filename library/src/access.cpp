// Register, PCI configuration, link and address access to the current adapter, and the adapter
// information record.
#include "access.h"

#include <array>
#include <cstring>

#include "fixed_query.h"
#include "kelvalib.h"
#include "kv/bytes.h"
#include "kv/ndis.h"
#include "kv/protocol.h"
#include "notify.h"
#include "oid_request.h"

using namespace kv;

namespace {

namespace rec = protocol::adapter_record;

// The value bytes an 18-byte register write carries after its offset and count.
constexpr uint32_t kMaxWriteBytes =
    protocol::kWriteMacRegRequestBytes - protocol::kOidHeaderBytes - protocol::kMacRegisterBytesOffset;
static_assert(kMaxWriteBytes == 6);

void fillUnknownAdapter(AdapterInfo* info) {
    info->ChipClass = 0;
    info->Bus = info->Slot = info->IoAddress = info->InterruptNumber = info->MemoryAddress = 0xFFFFFFFFu;
    info->VendorId = info->DeviceId = info->SubVendorId = info->SubSystemId = 0xFFFF;
    info->RevisionId = 0xFF;
}

void fillFromRecord(AdapterInfo* info, std::span<const uint8_t> r) {
    info->Bus = readU32(r, rec::kBus);
    info->Slot = readU32(r, rec::kSlot);
    info->IoAddress = readU32(r, rec::kIoAddress);
    info->InterruptNumber = readU32(r, rec::kInterruptNumber);
    info->MemoryAddress = readU32(r, rec::kMemoryAddress);
    info->VendorId = static_cast<uint16_t>(readU32(r, rec::kVendorId));
    info->DeviceId = static_cast<uint16_t>(readU32(r, rec::kDeviceId));
    info->SubVendorId = static_cast<uint16_t>(readU32(r, rec::kSubVendorId));
    info->SubSystemId = static_cast<uint16_t>(readU32(r, rec::kSubSystemId));
    info->RevisionId = static_cast<uint8_t>(readU32(r, rec::kRevisionId));
    info->ChipClass = lib::chipClassOf(info->DeviceId, info->IoAddress);
}

}  // namespace

namespace kv::lib {

uint32_t chipClassOf(uint16_t deviceId, uint32_t ioAddress) {
    switch (deviceId) {
        case 0x4420:
            return 2;
        case 0x0000:
            return ioAddress != 0 ? 2 : 0;
        case 0x4410:
        case 0x4440:
            return 4;
        case 0x4430:
        case 0x4450:
            return 8;
        default:
            return 0;
    }
}

int GetPciDeviceId(uint16_t* deviceId) {
    std::array<uint8_t, protocol::kPciConfigBytes> config{};
    const int ok = GetPciConfigSpace(config.data());
    if (deviceId) *deviceId = readU16(config, 2);
    return ok;
}

}  // namespace kv::lib

KV_API int GetPciConfigSpace(uint8_t* config1024) {
    return lib::queryResult(protocol::OID_TVX_PCI_CONFIG, config1024, protocol::kPciConfigBytes) ? 1 : 0;
}

KV_API int GetMacReg(uint16_t offset, uint16_t count, uint8_t* out) {
    // The reply carries at most the window's 1024 bytes; a larger count cannot be answered.
    if (!out || count > protocol::kMacRegisterWindowBytes) return 0;
    auto request = lib::OidRequestBuffer::ofLength(protocol::OID_TVX_READ_MAC_REG, protocol::kReadMacRegRequestBytes);
    request.putU16(0, offset);
    request.putU16(2, count);
    return request.query() && request.copyOut(protocol::kMacRegisterBytesOffset, out, count) ? 1 : 0;
}

KV_API int WriteMacReg(uint16_t offset, uint16_t count, const uint8_t* value) {
    auto request = lib::OidRequestBuffer::ofLength(protocol::OID_TVX_WRITE_MAC_REG, protocol::kWriteMacRegRequestBytes);
    // A count the request cannot carry, or no value, is a failed write like any other.
    const bool fits = count <= kMaxWriteBytes && (value || count == 0);
    if (fits) {
        request.putU16(0, offset);
        request.putU16(2, count);
        request.putBytes(protocol::kMacRegisterBytesOffset, std::span<const uint8_t>(value, count));
    }
    if (fits && request.query()) return 1;
    lib::showMessage("Write Mac Fail fail");
    return 0;
}

KV_API int ReadPortUchar(uint16_t offset, uint8_t* value) { return GetMacReg(offset, 1, value); }

KV_API int IsLink(int* status) {
    if (!status) return 0;
    const auto state = lib::queryU32(protocol::OID_GEN_MEDIA_CONNECT_STATUS);
    if (!state) return 0;
    *status = static_cast<int>(*state);
    return 1;
}

KV_API int API_IsLink(void) {
    int status = -1;
    return IsLink(&status) && status == static_cast<int>(ndis::kMediaStateConnected) ? 1 : 0;
}

KV_API int API_GetSrcMac(uint8_t* mac6) {
    return lib::queryResult(protocol::OID_802_3_CURRENT_ADDRESS, mac6, 6) ? 1 : 0;
}

KV_API int API_GetLinkSpeed(uint32_t* mbps) {
    if (!mbps) return 0;
    const auto speed = lib::queryU32(protocol::OID_GEN_LINK_SPEED);
    if (!speed) return 0;
    *mbps = *speed / 10000u;  // units of 100 bit/s
    return 1;
}

KV_API int API_GetDuplexMode(int* duplex) {
    if (!duplex) return 0;
    auto request = lib::OidRequestBuffer::forResult(protocol::OID_GEN_LINK_STATE, ndis::link_state::kBytes);
    if (!request.query()) return 0;
    *duplex = static_cast<int>(request.u32(ndis::link_state::kMediaDuplexState));
    return 1;
}

KV_API int API_TVGetAdapterInfo(uint8_t* record40) {
    return lib::queryResult(protocol::OID_TVX_ADAPTER_INFO, record40, rec::kBytes) ? 1 : 0;
}

KV_API int API_GetAdapterInfo(AdapterInfo* info) {
    if (!info) return 0;
    std::array<uint8_t, 6> mac{};
    if (!API_GetSrcMac(mac.data())) {
        lib::showMessage("Get mac address error");
        return 0;
    }
    std::memcpy(info->MacAddress, mac.data(), mac.size());
    std::array<uint8_t, rec::kBytes> record{};
    if (API_TVGetAdapterInfo(record.data()))
        fillFromRecord(info, record);
    else
        fillUnknownAdapter(info);
    return 1;
}

KV_API int API_IsCurrAdapterAlive(void) {
    std::array<uint8_t, 6> mac{};
    return API_GetSrcMac(mac.data());
}
