// The simulated Windows host. One per process, shared by every platform service of the sim
// backend; one lock inside guards it, so the UI thread and worker threads may call in at once.
//
// The host reads its environment on first use:
//   KELVA_MACHINE=dir   the machine directory (unset: a per-user directory made from the
//                       embedded default machine when missing)
//   KELVA_CLOCK=virtual every sleep returns at once and advances the clock
//   KELVA_TRACE=file    append the trace to that file
//   KELVA_PCAP=file     write the frames on the simulated wire to that capture file
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "kv/sim/clock.h"
#include "kv/sim/machine.h"
#include "kv/sim/notify_area.h"
#include "kv/sim/pcap.h"
#include "kv/sim/protocol_driver.h"
#include "kv/sim/registry_keys.h"
#include "kv/sim/registry_store.h"
#include "kv/sim/trace.h"

namespace kv::sim {

class Host {
public:
    static Host& get();

    // Replaces the machine: the state of the old one is dropped, the trace cleared and from now
    // on kept in memory (tests read it; a program that loads its machine from KELVA_MACHINE
    // keeps no trace lines in memory).
    void install(std::unique_ptr<Machine> machine, SimClock::Mode mode);
    // Test support: drops the machine; the next call loads `directory` the way a program starting
    // on it does (KELVA_MACHINE), a problem with it included.
    void startOn(const std::filesystem::path& directory);

    // Every call into the host holds this lock; taking it runs what fell due on the timeline.
    class Call {
    public:
        explicit Call(Host& host);
        Host& host;

    private:
        std::unique_lock<std::recursive_mutex> lock_;
    };

    Machine& machine();
    SimClock& clock();

    // Why the machine directory cannot be used — it cannot be made, or its machine.json or
    // registry.reg cannot be loaded: the file, the field or line, what it expects — or empty when
    // the machine loaded. A program that asks reports the problem itself and runs on with a
    // machine without anything; in one that never asks, the first call into the host ends the
    // process with the problem on standard error and kMachineProblemExitCode.
    std::string machineProblem();
    static constexpr int kMachineProblemExitCode = 78;
    Trace& trace() { return trace_; }
    PcapFile& pcap() { return pcap_; }
    ProtocolDriver& protocolDriver() { return protocolDriver_; }
    RegistryKeys& registryKeys() { return registryKeys_; }
    NotifyArea& notifyArea() { return notifyArea_; }

    // The last error of the calling thread.
    static uint32_t lastError();
    static void setLastError(uint32_t error);

    // A wait of the suite: traced, then virtual or real.
    void sleep(uint32_t ms);
    // Lets time pass without a trace line (a caller waiting for a simulated program to end).
    void passTime(uint32_t ms);
    // A wait on a pending transfer: up to `ms` until `done` holds, running the timeline meanwhile.
    // Not traced as a sleep (the transfer's own trace line tells how it ended). `done` is
    // evaluated under the host lock. Returns whether it holds.
    bool waitFor(uint32_t ms, const std::function<bool()>& done);

    // Message boxes are traced; the answer comes from the handler when one is set (the utility
    // shows them for real), else the affirmative button of the box.
    using MessageBoxHandler = std::function<int(std::u16string_view text, std::u16string_view caption, uint32_t)>;
    void setMessageBoxHandler(MessageBoxHandler handler);
    int messageBox(std::u16string_view text, std::u16string_view caption, uint32_t flags);

    // Diagnostic lines of the suite on standard output, traced as "stdout <TEXT>"; a handler, when
    // one is set, takes them in place of standard output.
    void writeStdout(std::string_view text);
    using StdoutHandler = std::function<void(std::string_view text)>;
    void setStdoutHandler(StdoutHandler handler);

    // The machine's registry, first brought up to date with registry.reg when another program on
    // the machine directory changed it (registry_store.h). Keys held by pointer stay valid until
    // the next call of registry() or changeRegistry().
    RegistryTree& registry();
    // One change of the registry, saved into registry.reg before it returns (registry_store.h):
    // 0, the change's own error, or the save's error (the registry then stays as it was), traced
    // as "regsave <path> err=<n> <system error>".
    uint32_t changeRegistry(const RegistryChange& change);

private:
    Host();
    void ensureMachine();
    void reset();

    std::recursive_mutex mutex_;
    std::unique_ptr<Machine> machine_;
    std::string machineProblem_;
    bool problemReportedByProgram_ = false;
    std::filesystem::path startDirectory_;  // startOn's; empty: KELVA_MACHINE
    std::unique_ptr<SimClock> clock_;
    Trace trace_;
    PcapFile pcap_;
    ProtocolDriver protocolDriver_{*this};
    RegistryKeys registryKeys_;
    NotifyArea notifyArea_;
    MessageBoxHandler messageBoxHandler_;
    StdoutHandler stdoutHandler_;
};

// The per-user machine directory used when KELVA_MACHINE is unset.
std::filesystem::path defaultMachineDirectory();
// Writes the embedded default machine into the directory (which is created), every file
// atomically and checked, machine.json last: a directory with a machine.json is complete.
// Returns the first failure as "<path>: <system error>", empty when all was written.
std::string writeDefaultMachine(const std::filesystem::path& directory);
// Makes the default machine in the directory unless it holds one already, under the directory's
// lock, so that programs starting together make it once. A directory whose machine.json is
// missing, empty or not JSON at all (a creation cut short) is made again; such a machine.json
// is first moved aside to "machine.json.invalid". Returns the failure as writeDefaultMachine does.
std::string ensureDefaultMachine(const std::filesystem::path& directory);

}  // namespace kv::sim
