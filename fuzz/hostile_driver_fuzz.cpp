// The library against a hostile protocol driver. Every answer comes from the fuzz input: whether
// the device opens; each control request's error and reply bytes (the enumeration reply's offsets
// included); each frame transfer's outcome, length and bytes, and whether it pends, for how long or
// for ever. The input also picks which read-only exports run, with which arguments, among them the
// adapter listing and selection the utility's refresh makes.
//
// Checked besides the sanitizers' crashes and reads past a buffer (every output buffer has exactly
// the size the export is given): a call that fails leaves its output untouched, and a call ends
// once the driver has nothing more to say (the input ran out: every request then fails) within a
// bounded number of requests and of virtual time.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "kelvalib.h"
#include "kv/platform/registry.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/atomic_file.h"
#include "kv/sim/driver_stand_in.h"
#include "kv/sim/file_stamp.h"
#include "kv/sim/host.h"
#include "kv/sim/machine.h"

using kv::fuzz::check;
namespace err = kv::platform::err;
using namespace kv::sim;

namespace {

constexpr uint8_t kUntouched = 0xA5;
// After the input ran out: the requests and the virtual time a call may still take. The longest
// read-only call, the presence check, makes 20 selections 500 ms apart.
constexpr int kRequestsAfterEnd = 2000;
constexpr uint64_t kVirtualMsAfterEnd = 60'000;
constexpr int kCallsPerInput = 12;

class HostileDriver : public DriverStandIn {
public:
    explicit HostileDriver(FuzzedDataProvider& input) : input_(input) {}

    uint32_t open() override {
        answered();
        return error();
    }

    uint32_t control(uint32_t code, std::span<const uint8_t>, std::span<uint8_t> out) override {
        answered();
        uint32_t result = error();
        if (result == err::kSuccess) fill(out);
        // A busy adapter at selection ends the process by design; any other error stands in.
        if (code == kv::protocol::IOCTL_PROT_OPEN_DEVICE && result == err::kBusy) result = err::kGenFailure;
        return result;
    }

    void transfer(const FrameTransferPtr& t) override {
        answered();
        if (exhausted()) return fail(*t, err::kGenFailure);
        switch (input_.ConsumeIntegralInRange<int>(0, 3)) {
            case 0:
                return complete(*t);
            case 1: {
                const uint32_t e = error();
                return fail(*t, e != err::kSuccess ? e : err::kGenFailure);
            }
            case 2:
                return completeLater(t, input_.ConsumeIntegralInRange<uint32_t>(0, 2000));
            default:
                return;  // pending for ever: the caller's time-out must end it
        }
    }

    // Starts the budget of one export call.
    void startCall() {
        requestsAfterEnd_ = 0;
        endedAtMs_.reset();
    }

    bool exhausted() const { return input_.remaining_bytes() == 0; }

private:
    void answered() {
        if (!exhausted()) return;
        const uint64_t now = Host::get().clock().nowMs();
        if (!endedAtMs_) endedAtMs_ = now;
        check(++requestsAfterEnd_ <= kRequestsAfterEnd, "a call ends when every request fails");
        check(now - *endedAtMs_ <= kVirtualMsAfterEnd, "a call ends in bounded time when every request fails");
    }

    // Success most of the time; otherwise an error a driver gives, or any number.
    uint32_t error() {
        if (exhausted()) return err::kNoMoreItems;
        const auto pick = input_.ConsumeIntegral<uint8_t>();
        if (pick < 160) return err::kSuccess;
        static constexpr uint32_t kErrors[] = {
            err::kNoMoreItems,  err::kGenFailure,         err::kInvalidHandle, err::kDeviceNotConnected,
            err::kNotSupported, err::kInsufficientBuffer, err::kBusy,          err::kOperationAborted};
        if (pick - 160u < std::size(kErrors)) return kErrors[pick - 160u];
        return input_.ConsumeIntegral<uint32_t>();
    }

    // The reply: the request echoed, zeros, bytes of the input, or a reply whose two string
    // offsets (the enumeration reply's) point anywhere near the buffer.
    void fill(std::span<uint8_t> out) {
        switch (input_.ConsumeIntegralInRange<int>(0, 3)) {
            case 0:
                return;
            case 1:
                std::fill(out.begin(), out.end(), 0);
                return;
            case 2:
                return copyInput(out);
            default:
                copyInput(out);
                for (const size_t field : {4u, 12u}) {
                    const uint32_t offset = input_.ConsumeIntegralInRange<uint32_t>(0, uint32_t(out.size()) + 8);
                    if (field + 4 <= out.size()) std::copy_n(reinterpret_cast<const uint8_t*>(&offset), 4, &out[field]);
                }
        }
    }

    void copyInput(std::span<uint8_t> out) {
        const auto bytes = input_.ConsumeBytes<uint8_t>(input_.ConsumeIntegralInRange<size_t>(0, out.size()));
        std::copy(bytes.begin(), bytes.end(), out.begin());
    }

    // What a transfer ends with: its state, error, claimed length and, for a read, its bytes.
    struct Outcome {
        FrameTransfer::State state = FrameTransfer::State::Completed;
        uint32_t error = 0;
        uint32_t length = 0;
        std::vector<uint8_t> bytes;
    };

    // A length that may claim more than the buffer holds, as a faulty driver might.
    Outcome outcome(const FrameTransfer& t) {
        Outcome o;
        const size_t capacity = t.isRead ? t.buffer.size() : t.frame.size();
        if (t.isRead) o.bytes = input_.ConsumeBytes<uint8_t>(input_.ConsumeIntegralInRange<size_t>(0, capacity));
        o.length = input_.ConsumeIntegralInRange<uint32_t>(0, uint32_t(capacity) + 64);
        return o;
    }

    static void deliver(FrameTransfer& t, const Outcome& o) {
        std::copy(o.bytes.begin(), o.bytes.end(), t.buffer.begin());
        t.state = o.state;
        t.error = o.error;
        t.bytes = o.length;
    }

    void complete(FrameTransfer& t) { deliver(t, outcome(t)); }

    static void fail(FrameTransfer& t, uint32_t error) {
        t.state = FrameTransfer::State::Failed;
        t.error = error;
    }

    // Decides the outcome now and delivers it after `ms`, unless the transfer was cancelled or
    // its owner gave it up (then its buffer may be gone).
    void completeLater(const FrameTransferPtr& t, uint32_t ms) {
        Outcome later;
        if (input_.ConsumeBool()) {
            later = outcome(*t);
        } else {
            later.state = FrameTransfer::State::Failed;
            later.error = err::kGenFailure;
        }
        std::weak_ptr<FrameTransfer> pending = t;
        Host::get().clock().schedule(ms, [pending, later] {
            const auto transfer = pending.lock();
            if (!transfer || transfer->state != FrameTransfer::State::Pending) return;
            deliver(*transfer, later);
            Host::get().protocolDriver().abandon(transfer);
        });
    }

    FuzzedDataProvider& input_;
    int requestsAfterEnd_ = 0;
    std::optional<uint64_t> endedAtMs_;
};

// An output buffer of exactly `size` bytes, filled with a pattern the library never writes by
// chance in all its bytes.
struct Output {
    explicit Output(size_t size) : bytes(std::make_unique<uint8_t[]>(size)), size(size) {
        std::fill_n(bytes.get(), size, kUntouched);
    }
    bool untouched() const {
        return std::all_of(bytes.get(), bytes.get() + size, [](uint8_t b) { return b == kUntouched; });
    }
    template <typename T>
    T* as() {
        return reinterpret_cast<T*>(bytes.get());
    }
    std::unique_ptr<uint8_t[]> bytes;
    size_t size;
};

// An export whose outputs are written only on success.
template <typename Call>
void outputOnSuccess(size_t size, Call&& call) {
    Output out(size);
    if (!call(out)) check(out.untouched(), "a failed call leaves its output untouched");
}

template <typename List>
void checkList(const List& list, int result, const Output& before) {
    if (!result) {
        // Descriptions of the adapters listed before the failure may be written; the counts not.
        check(std::all_of(before.bytes.get(), before.bytes.get() + 8, [](uint8_t b) { return b == kUntouched; }),
              "a failed listing leaves Count and Current untouched");
        return;
    }
    check(list.Count <= 10 && list.Current == 0, "a listing counts at most the ten slots and selects the first");
    for (uint32_t i = 0; i < list.Count; ++i) {
        const auto* d = list.Description[i];
        const auto* end = std::find(d, d + KV_DESCRIPTION_CHARS, 0);
        check(end != d + KV_DESCRIPTION_CHARS && end != d && end[-1] == '\n',
              "each description ends with a line feed and its terminator inside the slot");
        check(list.ParentIndex[i] == -1, "each listed adapter is a top-level entry");
    }
}

template <typename List, typename Export>
void listAdapters(Export&& listExport) {
    Output out(sizeof(List));
    const int result = listExport(out.as<List>());
    checkList(*out.as<List>(), result, out);
}

template <typename Char, typename Export>
void connectionName(FuzzedDataProvider& input, Export&& nameExport) {
    const int size = input.ConsumeIntegralInRange<int>(-1, 300);
    Output out(std::max(size, 0) * sizeof(Char));
    if (!nameExport(out.as<Char>(), size)) {
        check(out.untouched(), "a failed call leaves its output untouched");
        return;
    }
    const Char* name = out.as<Char>();
    check(std::find(name, name + size, Char(0)) != name + size, "the name ends inside the caller's buffer");
}

void callOne(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange<int>(0, 41)) {
        case 0:
            return listAdapters<AdapterList_W>(API_GetAdapterList_W);
        case 1:
            return listAdapters<AdapterList_A>(API_GetAdapterList_A);
        case 2:
            API_SetCurrAdaptIdx(input.ConsumeIntegralInRange<int>(-2, 12));
            return;
        case 3:
            API_HPSetIndex();
            return;
        case 4:
            API_CheckCardPresent();
            return;
        case 5:
            API_EnableTVXDiag();
            return;
        case 6:
            return outputOnSuccess(1024, [](Output& o) { return GetPciConfigSpace(o.bytes.get()); });
        case 7: {
            const auto offset = input.ConsumeIntegral<uint16_t>();
            const auto count = input.ConsumeIntegralInRange<uint16_t>(0, 1100);
            return outputOnSuccess(count, [&](Output& o) { return GetMacReg(offset, count, o.bytes.get()); });
        }
        case 8: {
            const auto offset = input.ConsumeIntegral<uint16_t>();
            return outputOnSuccess(1, [&](Output& o) { return ReadPortUchar(offset, o.bytes.get()); });
        }
        case 9:
            return outputOnSuccess(sizeof(int), [](Output& o) { return IsLink(o.as<int>()); });
        case 10:
            API_IsLink();
            return;
        case 11:
            return outputOnSuccess(6, [](Output& o) { return API_GetSrcMac(o.bytes.get()); });
        case 12:
            return outputOnSuccess(4, [](Output& o) { return API_GetLinkSpeed(o.as<uint32_t>()); });
        case 13:
            return outputOnSuccess(sizeof(int), [](Output& o) { return API_GetDuplexMode(o.as<int>()); });
        case 14:
            return outputOnSuccess(40, [](Output& o) { return API_TVGetAdapterInfo(o.bytes.get()); });
        case 15:
            return outputOnSuccess(sizeof(AdapterInfo),
                                   [](Output& o) { return API_GetAdapterInfo(o.as<AdapterInfo>()); });
        case 16:
            return outputOnSuccess(4, [](Output& o) { return API_GetIPAddress(o.bytes.get()); });
        case 17:
            API_IsCurrAdapterAlive();
            return;
        case 18:
            return outputOnSuccess(sizeof(DriverInfo_W),
                                   [](Output& o) { return API_GetDriverInfo_W(o.as<DriverInfo_W>()); });
        case 19:
            return outputOnSuccess(sizeof(DriverInfo_A),
                                   [](Output& o) { return API_GetDriverInfo_A(o.as<DriverInfo_A>()); });
        case 20:
            return connectionName<KV_WCHAR>(input, API_GetConnName_W);
        case 21:
            return connectionName<char>(input, API_GetConnName_A);
        case 22: {
            KV_HKEY key = nullptr;
            if (API_GetRegHKey_A(&key, input.ConsumeBool() ? "Ndi\\params" : "", 0))
                kv::platform::registry().closeKey(key);
            return;
        }
        case 23: {
            const auto oid = input.ConsumeIntegral<uint32_t>();
            const auto length = input.ConsumeIntegralInRange<uint32_t>(0, 2000);
            Output returned(4);
            outputOnSuccess(length, [&](Output& o) {
                const int ok = API_GetOID(oid, o.bytes.get(), length, returned.as<uint32_t>());
                if (!ok) check(returned.untouched(), "a failed call leaves its output untouched");
                return ok;
            });
            return;
        }
        case 24:
            return outputOnSuccess(152, [](Output& o) { return API_GetStatistics(o.bytes.get()); });
        case 25:
            return outputOnSuccess(sizeof(int), [](Output& o) { return API_GetHWStatus(o.as<int>()); });
        case 26:
            return outputOnSuccess(50, [](Output& o) { return API_GetDriverDescription(o.bytes.get()); });
        case 27:
            return outputOnSuccess(sizeof(int), [](Output& o) { return API_GetTXRetryCount(o.as<int>()); });
        case 28: {
            const auto page = input.ConsumeIntegral<uint16_t>();
            const auto reg = input.ConsumeIntegral<uint16_t>();
            return outputOnSuccess(2, [&](Output& o) { return API_ReadPHY(page, reg, o.as<uint16_t>()); });
        }
        case 29:
            ReadPhyUshort(input.ConsumeIntegral<uint16_t>());
            return;
        case 30:
            check(API_IsMDIX() <= 1, "the crossover state is one bit");
            return;
        case 31:
            // The driver's u32 count as an int: any value can come back.
            GetISRCounter();
            return;
        case 32:
            check(WakeupPtnRwTestLen() >= -1, "a pattern length or -1");
            return;
        case 33: {
            const int length = input.ConsumeIntegralInRange<int>(-1, 600);
            return outputOnSuccess(std::max(length, 0),
                                   [&](Output& o) { return WakeupPtnRead(o.bytes.get(), length) != 0; });
        }
        case 34:
            GetGFStatus();
            return;
        case 35:
            return outputOnSuccess(256, [](Output& o) { return DoReadProcData(o.bytes.get()) != 0; });
        case 36:
            return outputOnSuccess(256, [](Output& o) { return DoReadProcDataIMD(o.bytes.get()) != 0; });
        case 37: {
            const int repliesOnly = input.ConsumeBool();
            Output kind(sizeof(int));
            outputOnSuccess(6, [&](Output& o) {
                const int ok = APT_PTRecvPkt(o.bytes.get(), kind.as<int>(), repliesOnly);
                if (!ok) check(kind.untouched(), "a failed call leaves its output untouched");
                return ok;
            });
            return;
        }
        case 38:
            API_CheckProtDrvInst();
            return;
        case 39:
            API_CheckMiniportDrvInst();
            return;
        case 40:
            API_Close();
            return;
        default:
            API_Open();
            return;
    }
}

std::filesystem::path machineDirectory;

void removeMachineDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(machineDirectory, ignored);
}

// The default machine as loaded once; each input starts on a fresh copy of it (its registry
// copied rather than read again, for speed). An input that changed registry.reg has it put back,
// so that no input starts on another's registry.
std::unique_ptr<Machine> defaultMachine;
std::vector<uint8_t> defaultRegistryFile;

std::unique_ptr<Machine> freshMachine() {
    const auto registryFile = defaultMachine->directory / "registry.reg";
    if (fileStampOf(registryFile) != defaultMachine->registryStamp) {
        writeFileAtomically(registryFile, defaultRegistryFile);
        defaultMachine->registryStamp = fileStampOf(registryFile);
    }
    auto machine = buildMachine(defaultMachine->config);
    machine->directory = defaultMachine->directory;
    machine->registry = defaultMachine->registry;
    machine->registryStamp = defaultMachine->registryStamp;
    return machine;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The library's console lines would only slow the fuzzer down.
    if (!std::freopen("/dev/null", "w", stdout)) return 1;
    machineDirectory = std::filesystem::temp_directory_path() / ("kelva-fuzz-machine-" + std::to_string(getpid()));
    removeMachineDirectory();
    writeDefaultMachine(machineDirectory);
    std::atexit(removeMachineDirectory);
    defaultMachine = loadMachineDirectory(machineDirectory);
    defaultRegistryFile = writeRegFile(defaultMachine->registry, defaultMachine->registryEncoding);
    writeFileAtomically(machineDirectory / "registry.reg", defaultRegistryFile);
    defaultMachine->registryStamp = fileStampOf(machineDirectory / "registry.reg");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    Host& host = Host::get();
    host.install(freshMachine(), SimClock::Mode::Virtual);
    HostileDriver driver(input);
    host.protocolDriver().setStandIn(&driver);
    driver.startCall();
    API_Open();
    for (int n = 0; n < kCallsPerInput && !driver.exhausted(); ++n) {
        driver.startCall();
        callOne(input);
    }
    driver.startCall();
    API_Close();
    host.protocolDriver().setStandIn(nullptr);
    return 0;
}
