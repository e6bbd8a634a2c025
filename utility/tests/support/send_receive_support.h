// What the send-and-receive tests and their second computer share: the machine of one side, and
// waiting on the user-interface thread for what a worker thread does.
//
// The worker's sockets are real (on the loopback network), so its peer answers in real time,
// while every sleep of the worker passes at once on the process's virtual clock. Two processes
// have two virtual clocks that never meet: the only thing between them is the socket. A test
// therefore waits for events (a counter, a box, the worker's end), never for a time, and the
// wait has a real-time limit only so that a broken run fails rather than hangs.
#pragma once

#include <QCoreApplication>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "kv/sim/host.h"
#include "kv/sim/testing/machine_builder.h"

namespace kv::diag::testing {

// The adapter under test (adapter 0) with its driver's key and these TCP/IP settings; its restart
// takes 400 ms, so the library's reselection after a driver reload succeeds at its first try.
inline kv::sim::testing::MachineBuilder sendReceiveMachine(const char* address, const char* mask,
                                                           const char* gateway = nullptr, const char* dns = nullptr) {
    using kv::sim::Json;
    kv::sim::testing::MachineBuilder machine;
    auto& adapter = machine.addAdapter(0x4450);
    adapter.set("ip.address", Json(address)).set("ip.mask", Json(mask)).set("device.restartMs", Json(int64_t{400}));
    if (gateway) adapter.set("ip.gateway", Json(gateway));
    if (dns) adapter.set("ip.dns", Json(dns));
    machine.driverKey(0, {{"DriverDesc", "Tavrick 4450"},
                          {"DriverVersion", "6.210.1124.2009"},
                          {"DriverDate", "11-24-2009"},
                          {"ProviderName", "Tavrick"},
                          {"InfPath", "oem3.inf"}});
    machine.inf("oem3.inf", "[Version]\r\nSignature = \"$Windows NT$\"\r\n");
    return machine;
}

// The trace lines of one kind without the kind word, read under the host's lock: a worker may be
// adding lines meanwhile.
inline std::vector<std::string> tracedNow(std::string_view kind) {
    std::vector<std::string> lines;
    {
        kv::sim::Host::Call call(kv::sim::Host::get());
        lines = call.host.trace().linesOf(kind);
    }
    for (std::string& line : lines) line.erase(0, kind.size() + 1);
    return lines;
}

// The page's Responder listens for its Initiator (the trace of this process says so).
inline bool responderListens() {
    for (const std::string& line : tracedNow("socket"))
        if (line == "listen ok") return true;
    return false;
}

// Delivers what workers post to the user-interface thread (counter texts, message boxes) until
// `done` holds; false when it does not within `limitMs` of real time.
inline bool deliverUntil(const std::function<bool()>& done, int limitMs = 20000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    for (;;) {
        QCoreApplication::processEvents();
        if (done()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace kv::diag::testing
