// Frames for the frame tests: building them, putting them in an adapter's receive path, and the
// hex form the trace shows them in.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "kv/sim/adapter/frame_port.h"
#include "kv/sim/adapter/packet_filter.h"
#include "kv/sim/host.h"
#include "kv/sim/trace.h"
#include "library_fixture.h"

namespace kv::test {

using Bytes = std::vector<uint8_t>;
using Mac = std::array<uint8_t, 6>;

inline std::string hex(std::span<const uint8_t> bytes) { return sim::Trace::hex(bytes); }

inline Mac macOf(size_t adapterIndex) { return sim::Host::get().machine().adapters.at(adapterIndex)->mac; }

// An Ethernet frame: destination, source, the two type bytes as they stand on the wire, payload.
inline Bytes ethernetFrame(const Mac& to, const Mac& from, uint8_t type0, uint8_t type1, Bytes payload = {}) {
    Bytes f(to.begin(), to.end());
    f.insert(f.end(), from.begin(), from.end());
    f.push_back(type0);
    f.push_back(type1);
    f.insert(f.end(), payload.begin(), payload.end());
    return f;
}

// A frame of the library's test type (0x7A 0x1D).
inline Bytes testFrame(const Mac& to, const Mac& from, Bytes payload) {
    return ethernetFrame(to, from, 0x7A, 0x1D, std::move(payload));
}

// Lets `frame` reach adapter i's receiver `delayMs` from now (behind its packet filter).
inline void arrives(size_t i, Bytes frame, uint64_t delayMs = 0) {
    sim::Host::Call call(sim::Host::get());
    sim::Adapter& a = *call.host.machine().adapters.at(i);
    a.component<sim::FramePort>()->arrive(a, std::move(frame), delayMs);
}

inline uint64_t nowMs() { return sim::Host::Call(sim::Host::get()).host.clock().nowMs(); }

inline Bytes counting(size_t n, size_t first = 0) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>((first + i) % 256);
    return b;
}

}  // namespace kv::test
