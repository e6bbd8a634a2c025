// The PHY commands of the trace, decoded (command id, page, register, value), so that tests
// compare whole write sequences as tables.
#pragma once

#include <algorithm>
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
    return os << std::hex << "{" << r.oid << " " << r.page << ":" << r.reg << "=" << r.value << "}" << std::dec;
}

inline constexpr uint32_t kPhyCommands[] = {protocol::OID_TVX_READ_PHY,       protocol::OID_TVX_WRITE_PHY,
                                            protocol::OID_TVX_READ_PHY_WORD,  protocol::OID_TVX_WRITE_PHY_WORD,
                                            protocol::OID_TVX_PHY_DIAG_START, protocol::OID_TVX_PHY_DIAG_END,
                                            protocol::OID_TVX_NWAY_RESTART};

// The PHY commands sent, in order; with an id, only those of that command.
inline std::vector<PhyRequest> phyRequests(uint32_t only = 0) {
    std::vector<PhyRequest> out;
    for (const std::string& line : ioctls("0012C804")) {
        const std::string hex = line.substr(line.rfind(' ') + 1);
        auto u16At = [&](size_t i) {
            if (4 * i + 4 > hex.size()) return uint16_t{0};
            return static_cast<uint16_t>(std::stoul(hex.substr(4 * i, 2), nullptr, 16) |
                                         std::stoul(hex.substr(4 * i + 2, 2), nullptr, 16) << 8);
        };
        const PhyRequest r{u16At(0) | uint32_t(u16At(1)) << 16, u16At(4), u16At(5), u16At(6)};
        if (std::ranges::find(kPhyCommands, r.oid) != std::end(kPhyCommands) && (!only || r.oid == only))
            out.push_back(r);
    }
    return out;
}

inline PhyRequest pagedWrite(uint16_t page, uint16_t reg, uint16_t value) {
    return {protocol::OID_TVX_WRITE_PHY, page, reg, value};
}
inline PhyRequest pagedRead(uint16_t page, uint16_t reg) { return {protocol::OID_TVX_READ_PHY, page, reg, 0}; }
inline PhyRequest wordWrite(uint16_t reg, uint16_t value) { return {protocol::OID_TVX_WRITE_PHY_WORD, 0, reg, value}; }
inline PhyRequest wordRead(uint16_t reg) { return {protocol::OID_TVX_READ_PHY_WORD, 0, reg, 0}; }
inline PhyRequest mode(uint32_t oid) { return {oid, 0, 0, 0}; }

}  // namespace kv::test
