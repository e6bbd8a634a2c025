// The self-tests that send the test frame to the adapter itself through the PHY loopback.
#include "frame_fixture.h"

namespace kv::test {
namespace {

using PhyTestsTest = LibraryTest;

size_t framesWritten() { return traced("write").size(); }

TEST_F(PhyTestsTest, ExchangesPassWhenTheFramesComeBack) {
    machine.addAdapter().set("frames.loopbackPlug", Json(true));
    start();
    EXPECT_EQ(API_PHYLoopbackTest(), 1);
    EXPECT_EQ(API_DMABlockTest(), 1);
    EXPECT_EQ(API_FIFOTest(), 1);
    EXPECT_EQ(framesWritten(), 1u + 3u + 64u);
}

TEST_F(PhyTestsTest, ALostFrameFailsTheExchange) {
    struct Case {
        const char* name;
        int (*test)();
        size_t frames;
    } cases[] = {
        {"PHY loopback", API_PHYLoopbackTest, 1},
        {"DMA block: every block still runs", API_DMABlockTest, 3},
        {"FIFO: stops at the first mismatch", API_FIFOTest, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine = MachineBuilder();
        machine.addAdapter().set("frames.loopbackPlug", Json(true)).fault("lostFrames", Json(int64_t{1}));
        start();
        EXPECT_EQ(c.test(), 0);
        EXPECT_EQ(framesWritten(), c.frames);
        EXPECT_EQ(traced("frame"), std::vector<std::string>{"0 lost"});
        EXPECT_EQ(traced("stdout"), std::vector<std::string>{"DoReadProcData: ReadFile failed"});
    }
}

TEST_F(PhyTestsTest, FifoFailsOnTheThousandAndFirstWaitingFrame) {
    machine.addAdapter().set("frames.loopbackPlug", Json(true)).fault("frameStream", Json(true));
    start();
    EXPECT_EQ(API_FIFOTest(), 0);
    EXPECT_EQ(traced("read").size(), 1001u);
    EXPECT_EQ(framesWritten(), 0u);
}

}  // namespace
}  // namespace kv::test
