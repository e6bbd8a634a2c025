// The self-tests that send the test frame to the adapter itself through the PHY loopback.
#include <algorithm>

#include "frame_fixture.h"
#include "kv/sim/adapter/phy.h"

namespace kv::test {
namespace {

using PhyTestsTest = LibraryTest;

size_t framesWritten() { return traced("write").size(); }

// The PHY commands of the trace in order: "W<page>.<reg>=<value>" (paged write), "w<reg>=<value>"
// and "r<reg>" (word write and read), "start", "end", "nway", "filter=<bits>".
std::vector<std::string> phyCommands() {
    std::vector<std::string> out;
    auto u16At = [](const std::string& h, size_t byte) {
        return std::to_string(std::stoi(h.substr(2 * byte + 2, 2) + h.substr(2 * byte, 2), nullptr, 16));
    };
    for (const auto& line : traced("ioctl")) {
        const std::string h = line.substr(line.rfind(' ') + 1);
        const std::string id = h.substr(0, 8);
        if (id == "034044ff")
            out.push_back("W" + u16At(h, 8) + "." + u16At(h, 10) + "=" + u16At(h, 12));
        else if (id == "0d4044ff")
            out.push_back("w" + u16At(h, 10) + "=" + u16At(h, 12));
        else if (id == "0e4044ff")
            out.push_back("r" + u16At(h, 10));
        else if (id == "0b4044ff")
            out.push_back("start");
        else if (id == "0c4044ff")
            out.push_back("end");
        else if (id == "064044ff")
            out.push_back("nway");
        else if (id == "0e010100")
            out.push_back("filter=" + u16At(h, 8));
    }
    return out;
}

TEST_F(PhyTestsTest, ExchangesPassWhenTheFramesComeBack) {
    machine.addAdapter();
    start();
    EXPECT_EQ(API_PHYLoopbackTest(), 1);
    EXPECT_EQ(API_DMABlockTest(), 1);
    EXPECT_EQ(API_FIFOTest(), 1);
    EXPECT_EQ(framesWritten(), 1u + 3u + 64u);
}

TEST_F(PhyTestsTest, LoopbackSetUpAndRestoreFollowTheChip) {
    struct Case {
        uint16_t device;
        std::vector<std::string> setUp;
        std::vector<std::string> restore;
    } cases[] = {
        {0x4410, {"W0.0=8448", "W0.17=960"}, {"W0.0=32768"}},
        {0x4430, {"W0.11=2"}, {"W0.0=37376"}},
        {0x4440, {"W0.11=2"}, {"W0.11=0"}},
        {0x4450, {"W0.11=2"}, {"W0.0=37376"}},
        {0x4420, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device);
        machine = MachineBuilder();
        machine.addAdapter(c.device);
        start();
        EXPECT_EQ(API_PHYLoopbackTest(), c.setUp.empty() ? 0 : 1);
        std::vector<std::string> expected = {"start"};
        expected.insert(expected.end(), c.setUp.begin(), c.setUp.end());
        expected.insert(expected.end(), {"start"});  // every test frame written
        expected.insert(expected.end(), c.restore.begin(), c.restore.end());
        expected.insert(expected.end(), {"end", "nway"});
        EXPECT_EQ(phyCommands(), expected);
    }
}

TEST_F(PhyTestsTest, AnUnreadableDeviceIdIsReportedAndNeitherSetUpNorRestored) {
    machine.addAdapter().fault("failingOids", jsonArray({"0xFF442001"}));
    start();
    API_PHYLoopbackTest();
    const auto console = traced("stdout");
    ASSERT_FALSE(console.empty());
    EXPECT_EQ(console.front(), "Get Did value fail ");
    EXPECT_EQ(phyCommands(), (std::vector<std::string>{"start", "start", "end", "nway"}));
}

TEST_F(PhyTestsTest, NoLinkFailsAfterElevenSecondsAndStillRestores) {
    machine.addAdapter().link(false);
    start();
    EXPECT_EQ(API_PHYLoopbackTest(), 0);
    EXPECT_EQ(traced("sleep"), std::vector<std::string>(11, "1000"));
    EXPECT_EQ(framesWritten(), 0u);
    EXPECT_EQ(phyCommands(), (std::vector<std::string>{"start", "W0.11=2", "W0.0=37376", "end", "nway"}));
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
        machine.addAdapter().fault("lostFrames", Json(int64_t{1}));
        start();
        EXPECT_EQ(c.test(), 0);
        EXPECT_EQ(framesWritten(), c.frames);
        EXPECT_EQ(traced("frame"), std::vector<std::string>{"0 lost"});
        EXPECT_EQ(traced("stdout"), std::vector<std::string>{"DoReadProcData: ReadFile failed"});
    }
}

TEST_F(PhyTestsTest, FifoFailsOnTheThousandAndFirstWaitingFrame) {
    machine.addAdapter().fault("frameStream", Json(true));
    start();
    EXPECT_EQ(API_FIFOTest(), 0);
    EXPECT_EQ(traced("read").size(), 1001u);
    EXPECT_EQ(framesWritten(), 0u);
    EXPECT_EQ(phyCommands().back(), "nway");
}

TEST_F(PhyTestsTest, ExternalLoopbackSetsUpThePhyOnlyAtGigabit) {
    ScratchDirectory dir;  // the binding tool's files
    machine.addAdapter().link(true, 100).set("frames.loopbackPlug", Json(true));
    start();
    EXPECT_EQ(API_eLoopbackTest(), 1);
    EXPECT_EQ(phyCommands(), (std::vector<std::string>{"start", "filter=32", "start", "end", "filter=9"}));

    machine = MachineBuilder();
    machine.addAdapter().set("frames.loopbackPlug", Json(true));
    start();
    const std::pair<unsigned, unsigned> saved[] = {{0, 0x13}, {0, 0x00}, {0, 0x0E}, {0, 0x0C}, {0, 0x19}, {0, 0x17},
                                                   {0, 0x1A}, {1, 1},    {1, 2},    {1, 3},    {1, 4},    {1, 0}};
    auto* phy = adapter(0).component<sim::PhyModel>();
    std::vector<uint16_t> before;
    for (const auto& [page, reg] : saved) before.push_back(phy->readRegister(page, reg));
    EXPECT_EQ(API_eLoopbackTest(), 1);
    std::vector<uint16_t> after;
    for (const auto& [page, reg] : saved) after.push_back(phy->readRegister(page, reg));
    EXPECT_EQ(after, before);

    const std::vector<std::string> expected = {
        "start", "filter=32",
        // save
        "w31=0", "r19", "r0", "r14", "r12", "r25", "r23", "r26", "w31=1", "r1", "r2", "r3", "r4", "r0",
        // set up
        "w31=1", "w4=45056", "w3=65345", "w2=55072", "w1=320", "w0=187", "w4=47104", "w4=45056", "w31=0", "w12=2560",
        "w12=512", "w14=512", "w14=528", "w26=32", "w0=320", "w12=512", "w23=296", "w23=312",
        // the exchange, then the restore (its values checked above)
        "start", "w31=1", "w4", "w0", "w1", "w2", "w3", "w31=0", "w23", "w25", "w12", "w14", "w0", "w19", "w31=0",
        "w26", "end", "filter=9"};
    std::vector<std::string> commands = phyCommands();
    const auto exchange = std::find(commands.begin() + 1, commands.end(), "start");
    for (auto it = exchange; it != commands.end(); ++it)
        if (it->front() == 'w' && it->rfind("w31=", 0) != 0) *it = it->substr(0, it->find('='));
    EXPECT_EQ(commands, expected);
}

// The steps around eLoopback's exchange, in trace order: "unbind" and "bind" (the binding tool's
// commands), "filter=<bits>", "wait <ms>" (but the binding tool's 1000 ms completion polls),
// "frame" (a frame written) and "link?" (a link query).
std::vector<std::string> bracketSteps() {
    std::vector<std::string> out;
    for (const auto& line : sim::Host::get().trace().lines()) {
        const std::string hex = line.substr(line.rfind(' ') + 1);
        if (line.rfind("start tvxbind.exe /ub ", 0) == 0)
            out.push_back("unbind");
        else if (line.rfind("start tvxbind.exe /pb ", 0) == 0)
            out.push_back("bind");
        else if (line.rfind("sleep ", 0) == 0 && line != "sleep 1000")  // not the tool's completion polls
            out.push_back("wait " + line.substr(6));
        else if (line.rfind("write ", 0) == 0)
            out.push_back("frame");
        else if (line.rfind("ioctl 0012C814 ", 0) == 0)
            out.push_back("filter=" + std::to_string(std::stoi(hex.substr(16, 2), nullptr, 16)));
        else if (line.rfind("ioctl 0012C804 ", 0) == 0 && hex.rfind("14010100", 0) == 0)
            out.push_back("link?");
    }
    return out;
}

TEST_F(PhyTestsTest, ExternalLoopbackUnbindsSettlesRebindsAndWaitsForTheLink) {
    ScratchDirectory dir;  // the binding tool's files
    Json bindings = Json::array();
    for (const char* component : {"ms_tcpip", "ms_server"}) {
        Json b = Json::object();
        b.set("component", Json(component));
        b.set("path", Json(std::string(component) + "->tvx_miniport_0000"));
        b.set("bound", Json(true));
        bindings.push_back(b);
    }
    std::vector<std::string> noLinkWaits;
    for (int i = 0; i < 11; ++i) noLinkWaits.insert(noLinkWaits.end(), {"link?", "wait 500"});
    const struct Case {
        const char* name;
        bool link;
        std::vector<std::string> relink;
    } cases[] = {
        {"the link is there at once", true, {"link?"}},
        {"no link: eleven waits of 500 ms", false, noLinkWaits},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine = MachineBuilder();
        machine.addAdapter().link(c.link).set("frames.loopbackPlug", Json(true)).set("bindings", bindings);
        start();
        API_eLoopbackTest();
        std::vector<std::string> expected = {"unbind", "unbind", "filter=32", "wait 100",
                                             "frame",  "bind",   "bind",      "filter=9"};
        expected.insert(expected.end(), c.relink.begin(), c.relink.end());
        EXPECT_EQ(bracketSteps(), expected);
    }
}

TEST_F(PhyTestsTest, InterruptTestSetsTheFilterBackBeforeTheRestore) {
    machine.addAdapter();
    start();
    EXPECT_EQ(CDMISRTest(), 1);
    EXPECT_EQ(phyCommands(),
              (std::vector<std::string>{"filter=0", "start", "W0.11=2", "filter=9", "W0.0=37376", "end", "nway"}));
}

}  // namespace
}  // namespace kv::test
