// The PHY commands of the trace, decoded: command id, page, register and value of each request,
// so that tests compare whole write sequences as tables.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "kv/protocol.h"
#include "library_fixture.h"

namespace kv::test {

struct PhyRequest {
    uint32_t oid = 0;
    uint16_t page = 0;
    uint16_t reg = 0;
    uint16_t value = 0;
    bool operator==(const PhyRequest&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const PhyRequest& r) {
    return os << std::hex << "{" << r.oid << " page " << r.page << " reg " << r.reg << " = " << r.value << "}"
              << std::dec;
}

inline bool isPhyCommand(uint32_t oid) {
    namespace p = kv::protocol;
    for (uint32_t id : {p::OID_TVX_READ_PHY, p::OID_TVX_WRITE_PHY, p::OID_TVX_READ_PHY_WORD, p::OID_TVX_WRITE_PHY_WORD,
                        p::OID_TVX_PHY_DIAG_START, p::OID_TVX_PHY_DIAG_END, p::OID_TVX_NWAY_RESTART})
        if (oid == id) return true;
    return false;
}

// The PHY commands sent with IOCTL_PROT_QUERY_OID, in order.
inline std::vector<PhyRequest> phyRequests() {
    std::vector<PhyRequest> out;
    for (const std::string& line : ioctls("0012C804")) {
        const std::string hex = line.substr(line.rfind(' ') + 1);
        auto byteAt = [&](size_t i) -> uint32_t {
            return 2 * i + 2 <= hex.size() ? std::stoul(hex.substr(2 * i, 2), nullptr, 16) : 0;
        };
        auto u16At = [&](size_t i) { return static_cast<uint16_t>(byteAt(i) | (byteAt(i + 1) << 8)); };
        PhyRequest r;
        r.oid = u16At(0) | (uint32_t(u16At(2)) << 16);
        if (!isPhyCommand(r.oid)) continue;
        r.page = u16At(8);
        r.reg = u16At(10);
        r.value = u16At(12);
        out.push_back(r);
    }
    return out;
}

// Only the requests of one command id.
inline std::vector<PhyRequest> phyRequests(uint32_t oid) {
    std::vector<PhyRequest> out;
    for (const PhyRequest& r : phyRequests())
        if (r.oid == oid) out.push_back(r);
    return out;
}

inline PhyRequest pagedWrite(uint16_t page, uint16_t reg, uint16_t value) {
    return {kv::protocol::OID_TVX_WRITE_PHY, page, reg, value};
}
inline PhyRequest pagedRead(uint16_t page, uint16_t reg) { return {kv::protocol::OID_TVX_READ_PHY, page, reg, 0}; }
inline PhyRequest wordWrite(uint16_t reg, uint16_t value) {
    return {kv::protocol::OID_TVX_WRITE_PHY_WORD, 0, reg, value};
}
inline PhyRequest wordRead(uint16_t reg) { return {kv::protocol::OID_TVX_READ_PHY_WORD, 0, reg, 0}; }
inline PhyRequest modeRequest(uint32_t oid) { return {oid, 0, 0, 0}; }

}  // namespace kv::test
