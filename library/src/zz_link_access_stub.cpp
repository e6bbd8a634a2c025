// Stand-in link and PCI access until the access exports are in place.
#include "kelvalib.h"
#include "kv/protocol.h"
#include "oid_request.h"

using namespace kv;

KV_API int API_IsLink(void) {
    auto request = lib::OidRequestBuffer::forResult(protocol::OID_GEN_MEDIA_CONNECT_STATUS, 4);
    return request.query() && request.u32(0) == 0 ? 1 : 0;
}

KV_API int API_GetLinkSpeed(uint32_t* mbps) {
    auto request = lib::OidRequestBuffer::forResult(protocol::OID_GEN_LINK_SPEED, 4);
    if (!mbps || !request.query()) return 0;
    *mbps = request.u32(0) / 10000;
    return 1;
}

KV_API int GetPciConfigSpace(uint8_t* config1024) {
    auto request = lib::OidRequestBuffer::forResult(protocol::OID_TVX_PCI_CONFIG, 1024);
    if (!config1024 || !request.query()) return 0;
    return request.copyOut(0, config1024, 1024) ? 1 : 0;
}
