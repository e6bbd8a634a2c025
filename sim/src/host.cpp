#include "kv/sim/host.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "kv/platform/ui.h"
#include "kv/text.h"

namespace kv::sim {

namespace {
thread_local uint32_t tLastError = 0;

std::string envOr(const char* name, const std::string& fallback = {}) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : fallback;
}
}  // namespace

uint64_t nextHandleValue() {
    static std::atomic<uint64_t> next{0x1000};
    return next.fetch_add(4);
}

Host& Host::get() {
    static Host host;
    return host;
}

Host::Host() {
    const std::string trace = envOr("KELVA_TRACE");
    if (!trace.empty()) trace_.openFile(trace);
    const std::string pcap = envOr("KELVA_PCAP");
    if (!pcap.empty()) pcap_.open(pcap);
}

Host::Call::Call(Host& h) : host(h), lock_(h.mutex_) {
    h.ensureMachine();
    h.clock_->runDue();
}

void Host::ensureMachine() {
    if (machine_) return;
    const auto mode = envOr("KELVA_CLOCK") == "virtual" ? SimClock::Mode::Virtual : SimClock::Mode::Real;
    clock_ = std::make_unique<SimClock>(mode);
    std::filesystem::path dir =
        startDirectory_.empty() ? std::filesystem::path(envOr("KELVA_MACHINE")) : startDirectory_;
    if (dir.empty()) {
        dir = defaultMachineDirectory();
        const std::string problem = ensureDefaultMachine(dir);
        if (!problem.empty()) machineProblem_ = "The default simulated machine cannot be made: " + problem;
    }
    if (machineProblem_.empty()) {
        try {
            machine_ = loadMachineDirectory(dir);
            return;
        } catch (const std::exception& e) {
            machineProblem_ = "The simulated machine cannot be loaded: " + std::string(e.what());
        }
    }
    machine_ = std::make_unique<Machine>();
    if (problemReportedByProgram_) return;
    // Every program on the host ends the same way: the problem told, a failing exit code. The
    // host's lock is held, so nothing may run on: no clean-up, no static destructors.
    std::fprintf(stderr, "Kelvadiag: %s\n", machineProblem_.c_str());
    std::fflush(stderr);
    std::fflush(stdout);
    std::_Exit(kMachineProblemExitCode);
}

std::string Host::machineProblem() {
    std::lock_guard lock(mutex_);
    problemReportedByProgram_ = true;
    ensureMachine();
    return machineProblem_;
}

void Host::reset() {
    protocolDriver_.reset();
    registryKeys_.reset();
    notifyArea_.reset();
    machineProblem_.clear();
    problemReportedByProgram_ = false;
    startDirectory_.clear();
    trace_.clear();
    trace_.keepLines(true);
    tLastError = 0;
}

void Host::install(std::unique_ptr<Machine> machine, SimClock::Mode mode) {
    std::lock_guard lock(mutex_);
    reset();
    machine_ = std::move(machine);
    clock_ = std::make_unique<SimClock>(mode);
}

void Host::startOn(const std::filesystem::path& directory) {
    std::lock_guard lock(mutex_);
    reset();
    machine_.reset();
    startDirectory_ = directory;
}

Machine& Host::machine() {
    ensureMachine();
    return *machine_;
}

SimClock& Host::clock() {
    ensureMachine();
    return *clock_;
}

uint32_t Host::lastError() { return tLastError; }
void Host::setLastError(uint32_t error) { tLastError = error; }

void Host::sleep(uint32_t ms) {
    {
        std::lock_guard lock(mutex_);
        trace_.add("sleep " + std::to_string(ms));
    }
    passTime(ms);
}

void Host::passTime(uint32_t ms) {
    std::unique_lock lock(mutex_);
    ensureMachine();
    if (clock_->mode() == SimClock::Mode::Virtual) {
        clock_->advance(ms);
        return;
    }
    // Real time: wait without holding the lock, waking for events that fall due meanwhile.
    const uint64_t until = clock_->nowMs() + ms;
    for (;;) {
        clock_->runDue();
        const uint64_t now = clock_->nowMs();
        if (now >= until) break;
        const uint64_t wake = std::min(until, clock_->nextEventAt());
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(wake > now ? wake - now : 0));
        lock.lock();
    }
}

bool Host::waitFor(uint32_t ms, const std::function<bool()>& done) {
    std::unique_lock lock(mutex_);
    ensureMachine();
    if (clock_->mode() == SimClock::Mode::Virtual) return clock_->advanceUntil(ms, done);
    // Real time: poll without holding the lock, so that other threads can complete the transfer;
    // wake early for events that fall due.
    constexpr uint64_t kPollMs = 5;
    const uint64_t until = clock_->nowMs() + ms;
    for (;;) {
        clock_->runDue();
        if (done()) return true;
        const uint64_t now = clock_->nowMs();
        if (now >= until) return false;
        const uint64_t wake = std::min({until, clock_->nextEventAt(), now + kPollMs});
        lock.unlock();
        std::this_thread::sleep_for(std::chrono::milliseconds(wake > now ? wake - now : 0));
        lock.lock();
    }
}

void Host::setMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard lock(mutex_);
    messageBoxHandler_ = std::move(handler);
}

int Host::messageBox(std::u16string_view text, std::u16string_view caption, uint32_t flags) {
    MessageBoxHandler handler;
    {
        std::lock_guard lock(mutex_);
        trace_.add("msgbox " + Trace::escape(utf16ToUtf8(text)));
        handler = messageBoxHandler_;
    }
    if (handler) return handler(text, caption, flags);
    const uint32_t buttons = flags & 0xF;
    return buttons == platform::mb::kYesNo ? platform::mb::kIdYes : platform::mb::kIdOk;
}

void Host::setStdoutHandler(StdoutHandler handler) {
    std::lock_guard lock(mutex_);
    stdoutHandler_ = std::move(handler);
}

void Host::writeStdout(std::string_view text) {
    StdoutHandler handler;
    {
        std::lock_guard lock(mutex_);
        std::string line(text);
        if (!line.empty() && line.back() == '\n') line.pop_back();
        trace_.add("stdout " + Trace::escape(line));
        handler = stdoutHandler_;
    }
    if (handler) return handler(text);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

RegistryTree& Host::registry() {
    std::lock_guard lock(mutex_);
    ensureMachine();
    if (refreshRegistry(*machine_)) registryKeys_.markDeleted(machine_->registry);
    return machine_->registry;
}

uint32_t Host::changeRegistry(const RegistryChange& change) {
    std::lock_guard lock(mutex_);
    ensureMachine();
    FileError saveError;
    bool reloaded = false;
    const uint32_t error = sim::changeRegistry(*machine_, change, &saveError, &reloaded);
    if (saveError)
        trace_.add("regsave " + (machine_->directory / "registry.reg").string() + " err=" + std::to_string(error) +
                   " " + Trace::escape(saveError.describe()));
    if (reloaded || error == 0) registryKeys_.markDeleted(machine_->registry);
    return error;
}

std::filesystem::path defaultMachineDirectory() {
    // Windows keeps per-user data under LOCALAPPDATA; elsewhere the XDG data directory.
    const std::string local = envOr("LOCALAPPDATA");
    if (!local.empty()) return std::filesystem::path(local) / "Kelvadiag" / "machine";
    std::string base = envOr("XDG_DATA_HOME");
    if (base.empty()) base = envOr("HOME", ".") + "/.local/share";
    return std::filesystem::path(base) / "kelvadiag" / "machine";
}

}  // namespace kv::sim
