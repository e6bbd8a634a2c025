// kelvapost as a process: it reaches a window opened on the same machine directory (here, by the
// test itself) and never one on another machine directory.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "kv/platform/window_messages.h"
#include "kv/sim/host.h"
#include "kv/sim/machine.h"
#include "kv/sim/testing/machine_directory.h"
#include "message_value.h"

namespace kv::kelvapost {
namespace {

using sim::testing::MachineBuilder;
using sim::testing::MachineDirectory;

constexpr char kCaption[] = "Tavrick - Ethernet Diagnostic Utility";
constexpr uint32_t kMessage = platform::kWmUser + 1;

// The messages a window received, on the desktop's listener thread.
class Inbox {
public:
    void add(uintptr_t wParam, intptr_t lParam) {
        std::lock_guard lock(mutex_);
        received_.push_back({wParam, lParam});
        arrived_.notify_all();
    }
    // Waits until `count` messages are in; the listener hands them over as soon as the sender's
    // connection closes, so the bound only keeps a broken test from hanging.
    std::vector<std::pair<uintptr_t, intptr_t>> waitFor(size_t count) {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, std::chrono::seconds(10), [&] { return received_.size() >= count; });
        return received_;
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<std::pair<uintptr_t, intptr_t>> received_;
};

// Puts the test process on the machine directory, as the running utility would be.
std::unique_ptr<platform::MessageWindow> openUtilityWindow(const MachineDirectory& machine, Inbox& inbox) {
    sim::Host::get().install(sim::loadMachineDirectory(machine.machine()), sim::SimClock::Mode::Virtual);
    return platform::windowMessages().openWindow(kCaption, 0, kMessage,
                                                 [&inbox](uint32_t, uintptr_t w, intptr_t l) { inbox.add(w, l); });
}

TEST(Kelvapost, PostsEveryProtocolValueToTheUtilityOfItsMachine) {
    const MachineDirectory machine{MachineBuilder()};
    Inbox inbox;
    const auto window = openUtilityWindow(machine, inbox);
    ASSERT_NE(window, nullptr);

    const struct {
        const char* argument;
        intptr_t lParam;
    } cases[] = {{"mouse-move", 0x0200}, {"double-click", 0x0203},  {"right-button", 0x0204},
                 {"show", 0x5678},       {"quit", 0x9ABC},          {"0x9abc", 0x9ABC},
                 {"513", 0x0201},        {"0xFFFFFFFF", 0xFFFFFFFF}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto run = machine.run(KV_KELVAPOST, {cases[i].argument});
        EXPECT_EQ(run.exitCode, 0) << cases[i].argument << run.output;
        ASSERT_EQ(run.traced("window").size(), 2u) << cases[i].argument;
        EXPECT_EQ(run.traced("window")[1].find("post "), 0u);
        const auto received = inbox.waitFor(i + 1);
        ASSERT_EQ(received.size(), i + 1) << cases[i].argument;
        EXPECT_EQ(received[i].first, 0u);
        EXPECT_EQ(received[i].second, cases[i].lParam) << cases[i].argument;
    }
    EXPECT_EQ(sim::Host::get().trace().linesOf("window").back(),
              "window receive \"Tavrick - Ethernet Diagnostic Utility\" message=0x401 wparam=0x0 lparam=0xffffffff");
}

TEST(Kelvapost, AnotherMachineDirectoryIsAnotherComputer) {
    const MachineDirectory machine{MachineBuilder()}, other{MachineBuilder()};
    Inbox inbox;
    const auto window = openUtilityWindow(machine, inbox);
    ASSERT_NE(window, nullptr);

    const auto run = other.run(KV_KELVAPOST, {"quit"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.traced("window"), std::vector<std::string>{"find \"Tavrick - Ethernet Diagnostic Utility\" none"});
    EXPECT_NE(run.output.find("No window"), std::string::npos);
}

TEST(Kelvapost, FindsNothingOnceTheWindowIsClosed) {
    const MachineDirectory machine{MachineBuilder()};
    Inbox inbox;
    openUtilityWindow(machine, inbox).reset();
    EXPECT_EQ(machine.run(KV_KELVAPOST, {"show"}).exitCode, 2);
}

TEST(Kelvapost, RefusesWhatItCannotPost) {
    const MachineDirectory machine{MachineBuilder()};
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{{},
                                                                                           {"0x"},
                                                                                           {"12abc"},
                                                                                           {"Quit"},
                                                                                           {"99999999999999999999"},
                                                                                           {"1", "2"},
                                                                                           {"--caption"},
                                                                                           {"--verbose", "1"}}) {
        const auto run = machine.run(KV_KELVAPOST, arguments);
        EXPECT_EQ(run.exitCode, 1) << ::testing::PrintToString(arguments);
        EXPECT_TRUE(run.traced("window").empty());
    }
}

TEST(MessageValue, NamesAndNumbers) {
    const struct {
        const char* text;
        std::optional<intptr_t> value;
    } cases[] = {{"quit", 0x9ABC},    {"show", 0x5678},           {"0x0204", 0x0204},    {"0X200", 0x200},
                 {"-1", -1},          {"4294967295", 0xFFFFFFFF}, {"", std::nullopt},    {"0x", std::nullopt},
                 {"-", std::nullopt}, {"0x-1", std::nullopt},     {"1.5", std::nullopt}, {" 1", std::nullopt}};
    for (const auto& c : cases) EXPECT_EQ(parseMessageValue(c.text), c.value) << c.text;
}

}  // namespace
}  // namespace kv::kelvapost
