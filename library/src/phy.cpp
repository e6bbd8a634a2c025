// PHY register access through the driver, the PHY diagnostic mode, the auto-negotiation restart
// and the crossover state.
#include "kelvalib.h"
#include "kv/protocol.h"
#include "notify.h"
#include "oid_request.h"

using namespace kv;

namespace {

// Page, register and value at data offsets 0, 2 and 4, then four unused bytes.
constexpr uint32_t kPhyRequestBytes = 18;

constexpr uint16_t kCrossoverRegister = 0x11;  // page 0
constexpr uint16_t kCrossoverBit = 0x0040;

lib::OidRequestBuffer phyRequest(uint32_t oid, uint16_t page, uint16_t reg, uint16_t value) {
    auto request = lib::OidRequestBuffer::ofLength(oid, kPhyRequestBytes);
    request.putU16(0, page);
    request.putU16(2, reg);
    request.putU16(4, value);
    return request;
}

int modeRequest(uint32_t oid) { return lib::OidRequestBuffer::forResult(oid, 0).query() ? 1 : 0; }

}  // namespace

KV_API int API_ReadPHY(uint16_t page, uint16_t reg, uint16_t* value) {
    if (!value) return 0;
    auto request = phyRequest(protocol::OID_TVX_READ_PHY, page, reg, 0);
    if (!request.query()) return 0;
    *value = request.u16(4);
    return 1;
}

KV_API int API_WritePHY(uint16_t page, uint16_t reg, uint16_t value) {
    if (phyRequest(protocol::OID_TVX_WRITE_PHY, page, reg, value).query()) return 1;
    lib::showMessage("Write PHY fail");
    return 0;
}

KV_API uint16_t ReadPhyUshort(uint16_t reg) {
    auto request = phyRequest(protocol::OID_TVX_READ_PHY_WORD, 0, reg, 0);
    if (request.query()) return request.u16(4);
    lib::showMessage("WFT read PHY fail");
    return 0xFFFF;
}

KV_API int WritePhyUshort(uint16_t reg, uint16_t value) {
    if (phyRequest(protocol::OID_TVX_WRITE_PHY_WORD, 0, reg, value).query()) return 1;
    lib::showMessage("WFT Write PHY fail");
    return 0;
}

KV_API int API_PHYDiagStart(void) { return modeRequest(protocol::OID_TVX_PHY_DIAG_START); }

KV_API int API_PHYDiagEnd(void) { return modeRequest(protocol::OID_TVX_PHY_DIAG_END); }

KV_API int API_NWAYReStart(void) { return modeRequest(protocol::OID_TVX_NWAY_RESTART); }

KV_API int API_IsMDIX(void) {
    uint16_t value = 0;
    API_ReadPHY(0, kCrossoverRegister, &value);
    return (value & kCrossoverBit) ? 1 : 0;
}
