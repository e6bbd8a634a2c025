// Stand-in for the MAC register window until the register-access work lands.
#include "kv/bytes.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/components.h"
#include "kv/sim/adapter/registers.h"

namespace kv::sim {

uint8_t MacRegisters::read(uint16_t offset) {
    const uint8_t value = stored(offset);
    auto it = hooks_.find(offset);
    return it != hooks_.end() && it->second.onRead ? it->second.onRead(value) : value;
}

void MacRegisters::write(uint16_t offset, uint8_t value) {
    auto it = hooks_.find(offset);
    if (it != hooks_.end() && it->second.onWrite) {
        it->second.onWrite(value);
        return;
    }
    if (offset < kWindowBytes) bytes_[offset] = value;
}

uint8_t MacRegisters::stored(uint16_t offset) const { return offset < kWindowBytes ? bytes_[offset] : 0; }

void MacRegisters::addHook(uint16_t offset, RegisterHook hook) { hooks_[offset] = std::move(hook); }

std::optional<uint32_t> MacRegisters::handle(OidCall& call, Adapter&) {
    if (call.oid == protocol::OID_TVX_READ_MAC_REG) {
        const uint16_t offset = readU16(call.data, 0);
        const uint16_t count = readU16(call.data, 2);
        for (uint16_t i = 0; i < count && 4u + i < call.data.size(); ++i)
            call.data[4 + i] = read(static_cast<uint16_t>(offset + i));
        return platform::err::kSuccess;
    }
    if (call.oid == protocol::OID_TVX_WRITE_MAC_REG) {
        const uint16_t offset = readU16(call.data, 0);
        const uint16_t count = readU16(call.data, 2);
        for (uint16_t i = 0; i < count && 4u + i < call.data.size(); ++i)
            write(static_cast<uint16_t>(offset + i), call.data[4 + i]);
        return platform::err::kSuccess;
    }
    return std::nullopt;
}

std::unique_ptr<AdapterComponent> makeMacRegisters() { return std::make_unique<MacRegisters>(); }

}  // namespace kv::sim
