// Reloading the current adapter's miniport: the enable/disable tool under 64-bit Windows, the
// device installer's property changes otherwise.
#include <algorithm>

#include "kv/text.h"
#include "library_fixture.h"

namespace kv::test {
namespace {

class ReloadTest : public LibraryTest {
protected:
    // Sleeps traced between the first and the second start of a program.
    static size_t sleepsBetweenStarts() {
        const auto& lines = sim::Host::get().trace().lines();
        std::vector<size_t> starts;
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].rfind("start ", 0) == 0) starts.push_back(i);
        if (starts.size() < 2) return 0;
        return static_cast<size_t>(std::count_if(lines.begin() + static_cast<std::ptrdiff_t>(starts[0]),
                                                 lines.begin() + static_cast<std::ptrdiff_t>(starts[1]),
                                                 [](const std::string& l) { return l.rfind("sleep ", 0) == 0; }));
    }

    ScratchDirectory dir;
};

TEST_F(ReloadTest, UnderWow64TheToolDisablesAndEnablesWithinTwentySecondsEach) {
    struct Case {
        const char* name;
        const char* setting;  // under tools.nicctlv6
        Json value;
        int result;
        size_t starts;
        uint64_t slept;
    };
    const Case cases[] = {
        {"done after 5 s", "delayMs", Json(int64_t{5000}), 1, 2, 10000},
        {"done at the last poll", "delayMs", Json(int64_t{20000}), 1, 2, 40000},
        {"a moment too late", "delayMs", Json(int64_t{20001}), 0, 1, 20000},
        {"never done", "faults.neverCompletes", Json(true), 0, 1, 20000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove("completed.txt");
        machine = MachineBuilder();
        machine.addAdapter();
        machine.set("os.wow64", Json(true)).set(std::string("tools.nicctlv6.") + c.setting, c.value);
        start();
        EXPECT_EQ(API_ReloadMiniport(), c.result);
        const std::string guid = MachineBuilder::guidOf(0);
        const std::vector<std::string> both{"nicctlv6.exe  /dnicdrv /nicid " + guid,
                                            "nicctlv6.exe  /enicdrv /nicid " + guid};
        EXPECT_EQ(traced("start"), std::vector<std::string>(both.begin(), both.begin() + c.starts));
        EXPECT_EQ(sleptMs(), c.slept);
        EXPECT_TRUE(traced("propchange").empty());
        EXPECT_EQ(dir.has("completed.txt"), c.result == 1) << "the last completion stays on disk";
    }
}

TEST_F(ReloadTest, TheEnableCommandStartsAtThePollThatSeesTheDisableDone) {
    machine.addAdapter();
    machine.set("os.wow64", Json(true)).set("tools.nicctlv6.delayMs", Json(int64_t{5000}));
    start();
    ASSERT_EQ(API_ReloadMiniport(), 1);
    EXPECT_EQ(sleepsBetweenStarts(), 5u);
    // The adapter restarts after the enable; the presence check waits for it.
    EXPECT_FALSE(adapter(0).present);
    sim::Host::get().trace().clear();
    EXPECT_EQ(API_CheckCardPresent(), 1);
    EXPECT_EQ(traced("msgbox"), std::vector<std::string>(3, "Set Error code is 2"));
}

TEST_F(ReloadTest, WithoutWow64TheDeviceInstallerRestartsTheAdapter) {
    struct Case {
        bool wow64;
        bool hasIsWow64Process;
        bool tool;
    };
    for (const auto& c : {Case{true, true, true}, Case{true, false, false}, Case{false, true, false}}) {
        SCOPED_TRACE(::testing::Message() << "wow64 " << c.wow64 << " lookup " << c.hasIsWow64Process);
        machine = MachineBuilder();
        machine.addAdapter();
        machine.set("os.wow64", Json(c.wow64)).set("os.hasIsWow64Process", Json(c.hasIsWow64Process));
        start();
        EXPECT_EQ(API_ReloadMiniport(), 1);
        EXPECT_EQ(!traced("start").empty(), c.tool);
        EXPECT_EQ(traced("propchange").empty(), c.tool);
    }
}

TEST_F(ReloadTest, SetupPathChangesPropertiesThenReselectsUntilTheAdapterAnswers) {
    machine.addAdapter().set("device.restartMs", Json(int64_t{1600}));
    sim::Host& host = start();
    const std::string id = utf16ToUtf8(host.machine().devices.at(0).instanceId);
    EXPECT_EQ(API_ReloadMiniport(), 1);
    EXPECT_EQ(traced("propchange"),
              (std::vector<std::string>{id + " propchange scope=1 profile=0 ok", id + " enable scope=1 profile=0 ok"}));
    // Away until 1600 ms: the attempts at 500, 1000 and 1500 ms fail, the one at 2000 ms selects it.
    EXPECT_EQ(traced("msgbox"), std::vector<std::string>(3, "Set Error code is 2"));
    EXPECT_EQ(sleptMs(), 2000u);
    EXPECT_TRUE(adapter(0).diagEnabled);
}

TEST_F(ReloadTest, SetupPathGivesUpAfterAMinute) {
    machine.addAdapter().set("device.restartMs", Json(int64_t{3600000}));
    start();
    EXPECT_EQ(API_ReloadMiniport(), 0);
    EXPECT_EQ(traced("msgbox").size(), 120u);
    EXPECT_EQ(sleptMs(), 60000u);
}

}  // namespace
}  // namespace kv::test
