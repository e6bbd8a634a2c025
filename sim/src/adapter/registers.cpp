// The MAC register window and the two commands that reach it. A read or write of `count` bytes
// from `offset` must lie inside the window and inside the request's data area, else the command
// fails with ERROR_INVALID_PARAMETER and nothing is read or written.
#include "kv/sim/adapter/registers.h"

#include "kv/bytes.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/byte_map.h"
#include "kv/sim/adapter/components.h"
#include "kv/sim/adapter/raw_images.h"

namespace kv::sim {

namespace {
constexpr uint16_t kChipVersionRegister = 0x43;
constexpr size_t kValueOffset = protocol::kMacRegisterBytesOffset;
}  // namespace

uint8_t MacRegisters::read(uint16_t offset) {
    if (offset >= kWindowBytes) return 0xFF;  // nothing answers past the window
    const auto hook = hooks_.find(offset);
    if (hook != hooks_.end() && hook->second.onRead) return hook->second.onRead(bytes_[offset]);
    return bytes_[offset];
}

void MacRegisters::write(uint16_t offset, uint8_t value) {
    if (offset >= kWindowBytes) return;
    bytes_[offset] = value;
    const auto hook = hooks_.find(offset);
    if (hook != hooks_.end() && hook->second.onWrite) hook->second.onWrite(value);
}

uint8_t MacRegisters::stored(uint16_t offset) const { return offset < kWindowBytes ? bytes_[offset] : 0xFF; }

void MacRegisters::addHook(uint16_t offset, RegisterHook hook) {
    if (offset < kWindowBytes) hooks_[offset] = std::move(hook);
}

void MacRegisters::configure(const Json& adapterJson, Adapter& adapter) {
    bytes_.fill(0);
    for (size_t i = 0; i < adapter.mac.size(); ++i) bytes_[i] = adapter.mac[i];
    bytes_[kChipVersionRegister] = adapter.pci.revisionId;
    // --- captured image: the whole window as a real controller held it, before hand edits ---
    applyByteImage(adapterJson["images"]["registers"], bytes_, "images.registers");
    // --- end captured image ---
    applyByteMap(adapterJson["registers"], bytes_, "registers");
}

std::optional<uint32_t> MacRegisters::handle(OidCall& call, Adapter&) {
    const bool isRead = call.oid == protocol::OID_TVX_READ_MAC_REG;
    if (!isRead && call.oid != protocol::OID_TVX_WRITE_MAC_REG) return std::nullopt;
    const uint16_t offset = readU16(call.data, 0);
    const uint16_t count = readU16(call.data, 2);
    if (call.data.size() < kValueOffset || count > call.data.size() - kValueOffset ||
        size_t(offset) + count > kWindowBytes)
        return platform::err::kInvalidParameter;
    for (uint16_t i = 0; i < count; ++i) {
        const auto at = static_cast<uint16_t>(offset + i);
        if (isRead)
            call.data[kValueOffset + i] = read(at);
        else
            write(at, call.data[kValueOffset + i]);
    }
    return platform::err::kSuccess;
}

std::unique_ptr<AdapterComponent> makeMacRegisters() { return std::make_unique<MacRegisters>(); }

}  // namespace kv::sim
