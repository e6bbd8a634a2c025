// A stand-in for the simulated protocol driver's answers. While one is installed
// (ProtocolDriver::setStandIn), the driver hands it every open, control request and frame transfer
// instead of answering from the machine: a test or a fuzz target plays a driver that may answer
// anything, with any lengths, bytes and errors.
#pragma once

#include <cstdint>
#include <span>

#include "kv/sim/protocol_driver.h"

namespace kv::sim {

class DriverStandIn {
public:
    virtual ~DriverStandIn() = default;
    // The error opening the device fails with; 0 opens it (the device still admits one handle).
    virtual uint32_t open() = 0;
    // The error the request fails with (0 for success). May write any bytes of `out`; `in` is a
    // copy of what the caller sent.
    virtual uint32_t control(uint32_t code, std::span<const uint8_t> in, std::span<uint8_t> out) = 0;
    // Ends the transfer at once (Completed with its bytes and, for a read, the buffer filled; or
    // Failed with its error) or leaves it Pending. A pending transfer is the driver's until the
    // stand-in ends it later on the clock (and then calls ProtocolDriver::abandon for it) or the
    // channel cancels it.
    virtual void transfer(const FrameTransferPtr& transfer) = 0;
};

}  // namespace kv::sim
