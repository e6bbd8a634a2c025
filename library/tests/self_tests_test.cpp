// The driver's own self-tests, the driver-assisted loopback, the interrupt tests and the EEPROM
// presence check, against the simulated adapter's answers.
#include "frame_fixture.h"

namespace kv::test {
namespace {

using SelfTestsTest = LibraryTest;

TEST_F(SelfTestsTest, RegisterAndEepromTestsPassOnlyOnAnAnswerOfOne) {
    struct Case {
        const char* name;
        const char* fault;
        Json value;
        int registerResult;
        int eepromResult;
        std::vector<std::string> boxes;
    } cases[] = {
        {"answers 1", "macRegisterTestAnswer", Json(int64_t{1}), 1, 1, {}},
        {"register answers 2", "macRegisterTestAnswer", Json(int64_t{2}), 0, 1, {}},
        {"EEPROM answers 2", "eepromTestAnswer", Json(int64_t{2}), 1, 0, {}},
        {"EEPROM answers 0", "eepromTestAnswer", Json(int64_t{0}), 1, 0, {}},
        {"requests fail", "failingOids", jsonArray({"0xFF442002", "0xFF442003"}), 0, 0, {"EEPROM test  error"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine = MachineBuilder();
        machine.addAdapter().fault(c.fault, c.value);
        start();
        EXPECT_EQ(API_MacRegisterTest(), c.registerResult);
        EXPECT_EQ(API_EEPROMTest(), c.eepromResult);
        EXPECT_EQ(traced("msgbox"), c.boxes);
        const auto requests = ioctls("0012C804");
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[0].substr(0, 14), "0012C804 16 16");
        EXPECT_EQ(requests[0].substr(requests[0].rfind(' ') + 1), "022044ff000000000000000000000000");
    }
}

TEST_F(SelfTestsTest, DriverLoopbackNeedsTenFramesBack) {
    for (const auto& [limit, expected] : {std::pair{9, 0}, {10, 1}, {20, 1}}) {
        SCOPED_TRACE(limit);
        machine = MachineBuilder();
        machine.addAdapter().fault("loopbackFrameLimit", Json(int64_t{limit}));
        start();
        EXPECT_EQ(API_LoopbackTest(), expected);
        EXPECT_EQ(API_MACLoopbackTest(), expected);
    }
    // The frames and the waits of one run.
    sim::Host::get().trace().clear();
    API_LoopbackTest();
    Bytes frame(6, 0xFF);
    const Mac own = macOf(0);
    frame.insert(frame.end(), own.begin(), own.end());
    frame.push_back(0x88);
    frame.push_back(0x8E);
    const Bytes data = counting(86);
    frame.insert(frame.end(), data.begin(), data.end());
    EXPECT_EQ(traced("write"), std::vector<std::string>(10, "100 ok " + hex(frame)));
    EXPECT_EQ(traced("sleep"), (std::vector<std::string>{"3000", "1000"}));
    EXPECT_EQ(traced("loopback"), (std::vector<std::string>{"0 start", "0 end 10"}));
}

TEST_F(SelfTestsTest, DriverLoopbackFailures) {
    // A write that stays pending is cancelled after 500 ms; no result request follows.
    machine.addAdapter().fault("writePending", Json(true));
    start();
    EXPECT_EQ(API_LoopbackTest(), 0);
    EXPECT_EQ(traced("write").size(), 1u);
    EXPECT_EQ(traced("cancel"), std::vector<std::string>{"1"});
    EXPECT_EQ(traced("loopback"), std::vector<std::string>{"0 start"});
    EXPECT_EQ(nowMs(), 3500u);
}

TEST_F(SelfTestsTest, SoftwareInterruptIsCounted) {
    machine.addAdapter();
    machine.addAdapter().fault("noInterrupt", Json(true));
    start();
    EXPECT_EQ(SWISRTest(), 1);
    EXPECT_EQ(traced("stdout"), (std::vector<std::string>{"Clear successful", "TestResult 1"}));
    EXPECT_EQ(traced("sleep"), std::vector<std::string>{"1000"});
    EXPECT_EQ(ioctls("0012C804")[2], "0012C804 18 18 ok 054044ff0000000038000100010000000000");

    API_SetCurrAdaptIdx(1);
    EXPECT_EQ(SWISRTest(), 0);
    EXPECT_EQ(GetISRCounter(), 0);
}

TEST_F(SelfTestsTest, InterruptCounterRequestsFail) {
    machine.addAdapter().fault("failingOids", jsonArray({"0xFF444010", "0xFF444011"}));
    start();
    EXPECT_EQ(CleanISRCounter(), 0);
    EXPECT_EQ(GetISRCounter(), -1);
    EXPECT_EQ(SWISRTest(), -1);
    EXPECT_EQ(traced("stdout"), (std::vector<std::string>{"ISR count fail", "ISR count fail"}));
}

TEST_F(SelfTestsTest, InterruptTestThroughThePhyLoopback) {
    struct Case {
        const char* name;
        const char* fault;
        Json value;
        int result;
    } cases[] = {
        {"interrupt counted", "noInterrupt", Json(false), 1},
        {"no interrupt", "noInterrupt", Json(true), 0},
        {"count unreadable", "failingOids", jsonArray({"0xFF444011"}), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine = MachineBuilder();
        machine.addAdapter().fault(c.fault, c.value);
        start();
        EXPECT_EQ(CDMISRTest(), c.result);
        EXPECT_EQ(API_CDMISRTest(), c.result);
        const auto filters = ioctls("0012C814");
        ASSERT_EQ(filters.size(), 4u);
        EXPECT_EQ(filters[0].substr(filters[0].rfind(' ') + 1, 24), "0e0101000000000000000000");
        EXPECT_EQ(filters[1].substr(filters[1].rfind(' ') + 1, 24), "0e0101000000000009000000");
        EXPECT_EQ(adapter(0).component<sim::PacketFilter>()->bits(), 9u);
        // Each run raises the interrupt (byte 1 to 0x38) and clears it with 16-bit 0 to 0x3E.
        std::vector<std::string> registerWrites;
        for (const auto& line : ioctls("0012C804")) {
            const std::string hex = line.substr(line.rfind(' ') + 1);
            if (hex.rfind("054044ff", 0) == 0) registerWrites.push_back(hex);
        }
        const std::string raise = "054044ff0000000038000100010000000000";
        const std::string clear = "054044ff000000003e000200000000000000";
        EXPECT_EQ(registerWrites, (std::vector<std::string>{raise, clear, raise, clear}));
    }
}

}  // namespace
}  // namespace kv::test
