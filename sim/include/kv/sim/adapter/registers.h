// The controller's MAC register window: 1024 bytes reached byte by byte through
// OID_TVX_READ_MAC_REG and OID_TVX_WRITE_MAC_REG. Hardware blocks that live behind a register
// (a serial-EEPROM port, an interrupt trigger) hook its offset; every other byte is plain storage.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>

#include "kv/sim/adapter/adapter.h"

namespace kv::sim {

struct RegisterHook {
    std::function<uint8_t(uint8_t stored)> onRead;  // may be empty: the stored byte is read
    std::function<void(uint8_t value)> onWrite;     // may be empty: the byte is stored
};

class MacRegisters : public AdapterComponent {
public:
    static constexpr size_t kWindowBytes = 1024;

    uint8_t read(uint16_t offset);               // through the hook, if any
    void write(uint16_t offset, uint8_t value);  // through the hook, if any; stored too
    uint8_t stored(uint16_t offset) const;
    void addHook(uint16_t offset, RegisterHook hook);
    // handles OID_TVX_READ_MAC_REG and OID_TVX_WRITE_MAC_REG

    // Initial contents: the MAC address at 0..5, the chip version at 0x43 (the PCI revision id),
    // then a captured image ("images.registers"), then the bytes of the adapter's "registers"
    // object.
    void configure(const Json& adapterJson, Adapter& adapter) override;
    std::optional<uint32_t> handle(OidCall& call, Adapter& adapter) override;

private:
    std::array<uint8_t, kWindowBytes> bytes_{};
    std::map<uint16_t, RegisterHook> hooks_;
};

}  // namespace kv::sim
