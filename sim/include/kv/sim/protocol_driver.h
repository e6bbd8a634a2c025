// The simulated protocol driver TvNdPt60: its device "\\.\\TvNdPt60", opened exclusively, bound
// per handle to one adapter, answering the five control codes with the driver's buffer layouts.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "kv/sim/handle_table.h"

namespace kv::sim {

class Adapter;
class Host;

struct ChannelState {
    Adapter* adapter = nullptr;  // the adapter chosen by IOCTL_PROT_OPEN_DEVICE
};

class ProtocolDriver {
public:
    explicit ProtocolDriver(Host& host) : host_(host) {}

    // Returns the handle value, or null with the error in *error.
    void* open(std::u16string_view path, uint32_t* error);
    bool close(void* handle);
    bool isChannel(void* handle) { return channels_.find(handle) != nullptr; }
    ChannelState* channel(void* handle) { return channels_.find(handle); }
    // Returns the Windows error number (0 on success). out may alias in.
    uint32_t control(void* handle, uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out);
    void reset() { channels_.clear(); }

private:
    uint32_t queryBinding(std::span<const uint8_t> in, std::span<uint8_t> out);
    uint32_t openAdapter(ChannelState& channel, std::span<const uint8_t> in);
    uint32_t oidRequest(ChannelState& channel, uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out);

    Host& host_;
    HandleTable<ChannelState> channels_;
};

}  // namespace kv::sim
