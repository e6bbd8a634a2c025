// Stand-ins until the register-access work lands.
#include <cstring>

#include "access.h"
#include "kelvalib.h"
#include "kv/protocol.h"
#include "notify.h"
#include "oid_request.h"

using namespace kv;

KV_API int API_GetSrcMac(uint8_t* mac6) {
    auto r = lib::OidRequestBuffer::forResult(protocol::OID_802_3_CURRENT_ADDRESS, 6);
    return r.query() && r.copyOut(0, mac6, 6) ? 1 : 0;
}

KV_API int IsLink(int* status) {
    auto r = lib::OidRequestBuffer::forResult(protocol::OID_GEN_MEDIA_CONNECT_STATUS, 4);
    if (!r.query()) return 0;
    *status = static_cast<int>(r.u32(0));
    return 1;
}

KV_API int API_IsLink(void) {
    int status = 1;
    return IsLink(&status) && status == 0 ? 1 : 0;
}

KV_API int API_GetLinkSpeed(uint32_t* mbps) {
    auto r = lib::OidRequestBuffer::forResult(protocol::OID_GEN_LINK_SPEED, 4);
    if (!r.query()) return 0;
    *mbps = r.u32(0) / 10000;
    return 1;
}

KV_API int GetMacReg(uint16_t offset, uint16_t count, uint8_t* out) {
    auto r = lib::OidRequestBuffer::forResult(protocol::OID_TVX_READ_MAC_REG, 1024);
    r.putU16(0, offset);
    r.putU16(2, count);
    return r.query() && r.copyOut(4, out, count) ? 1 : 0;
}

KV_API int WriteMacReg(uint16_t offset, uint16_t count, const uint8_t* value) {
    auto r = lib::OidRequestBuffer::forResult(protocol::OID_TVX_WRITE_MAC_REG, 6);
    r.putU16(0, offset);
    r.putU16(2, count);
    r.putBytes(4, {value, count});
    if (r.query()) return 1;
    lib::showMessage("Write Mac Fail fail");
    return 0;
}

int GetPciDeviceId(uint16_t* deviceId) {
    auto r = lib::OidRequestBuffer::forResult(protocol::OID_TVX_PCI_CONFIG, 1024);
    const bool ok = r.query();
    *deviceId = ok ? r.u16(2) : 0;
    return ok ? 1 : 0;
}
