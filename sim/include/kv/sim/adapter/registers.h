// Stand-in for the controller's MAC register window until the register-access work lands.
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
    uint8_t read(uint16_t offset);
    void write(uint16_t offset, uint8_t value);
    uint8_t stored(uint16_t offset) const;
    void addHook(uint16_t offset, RegisterHook hook);

    std::optional<uint32_t> handle(OidCall& call, Adapter& adapter) override;

private:
    std::array<uint8_t, kWindowBytes> bytes_{};
    std::map<uint16_t, RegisterHook> hooks_;
};

}  // namespace kv::sim
