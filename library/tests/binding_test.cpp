// Recording, unbinding and rebinding the other protocols of the current adapter through the
// binding tool, on virtual time, in a scratch current directory.
#include <algorithm>

#include "kv/platform/system.h"
#include "library_fixture.h"

namespace kv::test {
namespace {

Json binding(const std::string& component, bool bound) {
    Json b = Json::object();
    b.set("component", Json(component));
    b.set("path", Json(component + "->tvx_miniport_0000"));
    b.set("bound", Json(bound));
    return b;
}

// tcpip and server bound around an unbound client and the library's own protocol.
Json usualBindings() {
    Json list = Json::array();
    list.push_back(binding("ms_tcpip", true));
    list.push_back(binding("ms_msclient", false));
    list.push_back(binding("tvx_tvndpt60", true));
    list.push_back(binding("ms_server", true));
    return list;
}

class BindingTest : public LibraryTest {
protected:
    // The parameters of the binding tool's starts with this verb ("/cb", "/ub", "/pb"), in order.
    static std::vector<std::string> toolStarts(const std::string& verb) {
        std::vector<std::string> out;
        const std::string prefix = "tvxbind.exe " + verb + " /b ";
        for (const auto& line : traced("start"))
            if (line.compare(0, prefix.size(), prefix) == 0) out.push_back(line.substr(prefix.size()));
        return out;
    }
    bool isBound(size_t adapterIndex, const std::string& component) {
        for (const auto& b : sim::Host::get().machine().bindings)
            if (b.adapterIndex == adapterIndex && b.component == component) return b.bound;
        ADD_FAILURE() << "no binding " << component;
        return false;
    }
    // Lets the command interpreter's deletions run.
    static void settle() { platform::clock().sleep(1000); }

    ScratchDirectory dir;
};

constexpr char kRecordedUnbind[] =
    "/ub /b ms_tcpip /b2 ms_tcpip->tvx_miniport_0000\n/ub /b ms_server /b2 ms_server->tvx_miniport_0000\n";
constexpr char kRecordedBind[] =
    "/pb /b ms_tcpip /b2 ms_tcpip->tvx_miniport_0000\n/pb /b ms_server /b2 ms_server->tvx_miniport_0000\n";
constexpr char kRecordedCheck[] =
    "/cb /b ms_tcpip /b2 ms_tcpip->tvx_miniport_0000 /b3 bsts.txt\n"
    "/cb /b ms_server /b2 ms_server->tvx_miniport_0000 /b3 bsts.txt\n";

TEST_F(BindingTest, RecordsTheOtherBoundProtocolsOfTheCurrentAdapterOnly) {
    machine.addAdapter().set("bindings", usualBindings());
    machine.addAdapter();  // the usual four protocols, all bound, on tvx_miniport_0001
    start();
    EXPECT_EQ(Chkbind_Ptl(), 1);

    const std::string listing = dir.read("pt.txt");
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 8);
    // The client is asked and answers "Unbinded"; the own protocol and adapter 1 are never asked.
    EXPECT_EQ(toolStarts("/cb"), (std::vector<std::string>{
                                     "ms_tcpip /b2 ms_tcpip->tvx_miniport_0000 /b3 bsts.txt",
                                     "ms_msclient /b2 ms_msclient->tvx_miniport_0000 /b3 bsts.txt",
                                     "ms_server /b2 ms_server->tvx_miniport_0000 /b3 bsts.txt",
                                 }));
    EXPECT_EQ(dir.read("ubndis.txt"), kRecordedUnbind);
    EXPECT_EQ(dir.read("bndis.txt"), kRecordedBind);
    EXPECT_EQ(dir.read("chkbndisf.txt"), kRecordedCheck);
}

TEST_F(BindingTest, UnbindsAndRebindsInRecordedOrderAndCleansUp) {
    machine.addAdapter().set("bindings", usualBindings());
    machine.addAdapter();
    start();

    EXPECT_EQ(Unbind_Ptl(), 1);
    EXPECT_EQ(toolStarts("/ub"), (std::vector<std::string>{"ms_tcpip /b2 ms_tcpip->tvx_miniport_0000",
                                                           "ms_server /b2 ms_server->tvx_miniport_0000"}));
    EXPECT_FALSE(isBound(0, "ms_tcpip"));
    EXPECT_FALSE(isBound(0, "ms_server"));
    EXPECT_TRUE(isBound(0, "tvx_tvndpt60"));
    EXPECT_TRUE(isBound(1, "ms_tcpip"));
    settle();
    EXPECT_FALSE(dir.has("ubndis.txt"));
    for (const char* kept : {"bndis.txt", "chkbndisf.txt", "pt.txt", "bsts.txt", "completed.txt"})
        EXPECT_TRUE(dir.has(kept)) << kept;

    EXPECT_EQ(bind_Ptl(), 1);
    EXPECT_EQ(toolStarts("/pb"), (std::vector<std::string>{"ms_tcpip /b2 ms_tcpip->tvx_miniport_0000",
                                                           "ms_server /b2 ms_server->tvx_miniport_0000"}));
    EXPECT_TRUE(isBound(0, "ms_tcpip"));
    EXPECT_TRUE(isBound(0, "ms_server"));
    EXPECT_FALSE(isBound(0, "ms_msclient")) << "a protocol unbound before is not bound by the cycle";
    settle();
    for (const char* gone : {"ubndis.txt", "bndis.txt", "chkbndisf.txt"}) EXPECT_FALSE(dir.has(gone)) << gone;
    for (const char* kept : {"pt.txt", "bsts.txt", "completed.txt"}) EXPECT_TRUE(dir.has(kept)) << kept;

    // Without records, binding again starts nothing.
    sim::Host::get().trace().clear();
    EXPECT_EQ(bind_Ptl(), 1);
    EXPECT_TRUE(traced("start").empty());
}

TEST_F(BindingTest, MalformedListingLinesAreSkippedWhole) {
    machine.addAdapter().set("bindings", [] {
        Json list = Json::array();
        list.push_back(binding("ms_tcpip", true));
        return list;
    }());
    const std::string guid = MachineBuilder::guidOf(0);
    Json extra = Json::array();
    extra.push_back(Json("no comma at all"));
    extra.push_back(Json("," + guid));
    // Read in pieces, the tail of this line would look like a binding of the adapter.
    extra.push_back(Json(std::string(600, 'A') + "ms_evil->tvx_miniport_0000," + guid));
    extra.push_back(Json("ms_other->tvx_miniport_0000," + guid.substr(0, guid.size() - 1)));
    machine.set("tools.tvxbind.faults.extraListLines", extra);
    start();
    EXPECT_EQ(Chkbind_Ptl(), 1);
    EXPECT_EQ(toolStarts("/cb"), std::vector<std::string>{"ms_tcpip /b2 ms_tcpip->tvx_miniport_0000 /b3 bsts.txt"});
    EXPECT_EQ(dir.read("ubndis.txt"), "/ub /b ms_tcpip /b2 ms_tcpip->tvx_miniport_0000\n");
}

TEST_F(BindingTest, ToolFaultsDelayButNeverStopTheCycle) {
    struct Case {
        const char* name;
        const char* fault;  // under tools.tvxbind
        Json value;
        bool unbind;     // Unbind_Ptl rather than Chkbind_Ptl
        size_t checks;   // check commands started
        uint64_t slept;  // virtual milliseconds
        bool recorded;
        bool boundAfter;
    };
    const Case cases[] = {
        // The listing is waited for 10 s; without "pt.txt" nothing is recorded.
        {"never completes", "faults.neverCompletes", Json(true), false, 0, 10000, false, true},
        // Each command takes 5 s: found at the fifth poll.
        {"late", "delayMs", Json(int64_t{5000}), false, 1, 10000, true, true},
        // 20 checks of 1 s plus 500 ms, all without a state.
        {"no state file", "faults.noStateFile", Json(true), false, 20, 1000 + 20 * 1500, false, true},
        // Recorded, unbound in vain: 20 checks still answer "Binded".
        {"stuck binding", "faults.stuckBindings", Json(true), true, 21, 2000 + 20 * 1500, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine = MachineBuilder();
        Json one = Json::array();
        one.push_back(binding("ms_tcpip", true));
        machine.addAdapter().set("bindings", one);
        machine.set(std::string("tools.tvxbind.") + c.fault, c.value);
        std::filesystem::remove("pt.txt");
        std::filesystem::remove("bsts.txt");
        start();
        EXPECT_EQ(c.unbind ? Unbind_Ptl() : Chkbind_Ptl(), 1);
        EXPECT_EQ(toolStarts("/cb").size(), c.checks);
        EXPECT_EQ(sleptMs(), c.slept);
        EXPECT_EQ(!dir.read("chkbndisf.txt").empty(), c.recorded);
        EXPECT_EQ(isBound(0, "ms_tcpip"), c.boundAfter);
    }
}

}  // namespace
}  // namespace kv::test
