// The driver-assisted loopback (OID_TVX_LOOPBACK_START / OID_TVX_LOOPBACK_RESULT): between the
// two commands the MAC loops every frame the diagnostic protocol sends back inside the chip, and
// the driver counts the frames that came back instead of passing them up.
#pragma once

#include <cstdint>

#include "kv/sim/adapter/adapter.h"

namespace kv::sim {

class DriverLoopback : public AdapterComponent {
public:
    bool active() const { return active_; }
    // A frame sent while the loopback runs; it comes back unless the fault limit is reached.
    void frameSent();
    uint32_t returned() const { return returned_; }

    void configure(const Json& adapterJson, Adapter& adapter) override;
    std::optional<uint32_t> handle(OidCall& call, Adapter& adapter) override;

private:
    bool active_ = false;
    uint32_t returned_ = 0;
    // faults.loopbackFrameLimit: at most this many frames come back.
    uint32_t limit_ = UINT32_MAX;
};

}  // namespace kv::sim
