// The driver channel: opening, the bind wait, closing, and every command failing without it.
#include "library_fixture.h"

namespace kv::test {
namespace {

using ChannelTest = LibraryTest;

TEST_F(ChannelTest, OpenSendsTheBindWaitOnce) {
    machine.addAdapter();
    machine.install();
    EXPECT_EQ(API_Open(), 1);
    EXPECT_EQ(API_IsPlug(), 1);
    EXPECT_EQ(traced("ioctl"), std::vector<std::string>{"0012C810 0 0 ok "});
    EXPECT_NE(GetProtocolHandle(), nullptr);
}

TEST_F(ChannelTest, AbsentOrRefusedDriverLeavesTheChannelClosed) {
    struct Case {
        const char* name;
        const char* path;
        Json value;
    } cases[] = {
        {"service missing", "protocolDriver.installed", Json(false)},
        {"service stopped", "protocolDriver.running", Json(false)},
        {"open refused", "protocolDriver.faults.openError", Json(int64_t{5})},
        {"bind wait fails", "protocolDriver.faults.bindWaitError", Json(int64_t{31})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MachineBuilder m;
        m.addAdapter();
        m.set(c.path, c.value);
        m.install();
        EXPECT_EQ(API_Open(), 0);
        EXPECT_EQ(API_IsPlug(), 0);
        EXPECT_EQ(GetProtocolHandle(), reinterpret_cast<KV_HANDLE>(static_cast<intptr_t>(-1)));
        EXPECT_EQ(API_EnableTVXDiag(), 0);
        AdapterList_W list{};
        EXPECT_EQ(API_GetAdapterList_W(&list), 0);
        EXPECT_EQ(API_Close(), 1);
    }
}

TEST_F(ChannelTest, ABindWaitFailureClosesTheFreshHandle) {
    machine.addAdapter();
    machine.set("protocolDriver.faults.bindWaitError", Json(int64_t{31}));
    machine.install();
    EXPECT_EQ(API_Open(), 0);
    // The device admits one handle: it can only be opened again if the failed one was closed.
    sim::Host::get().machine().protocolDriver.bindWaitError = 0;
    EXPECT_EQ(API_Open(), 1);
}

TEST_F(ChannelTest, CloseIsHarmlessWhenAlreadyClosed) {
    machine.addAdapter();
    machine.install();
    EXPECT_EQ(API_Close(), 1);
    EXPECT_EQ(API_Close(), 1);
    EXPECT_TRUE(traced("ioctl").empty());
    EXPECT_EQ(API_IsPlug(), 0);
}

TEST_F(ChannelTest, DiagnosticModeSendsTheAccessValueInATwelveByteRequest) {
    machine.addAdapter();
    start();
    EXPECT_EQ(API_EnableTVXDiag(), 1);
    EXPECT_EQ(ioctls("0012C804"), std::vector<std::string>{"0012C804 12 12 ok 062044ff000000007a1da6d1"});
    EXPECT_TRUE(adapter(0).diagEnabled);
}

TEST_F(ChannelTest, DiagnosticModeRefusedByTheMiniport) {
    machine.addAdapter().fault("failingOids", jsonArray({"0xFF442006"}));
    start();
    EXPECT_EQ(API_EnableTVXDiag(), 0);
    EXPECT_EQ(ioctls("0012C804"), std::vector<std::string>{"0012C804 12 12 err=31 062044ff000000007a1da6d1"});
}

}  // namespace
}  // namespace kv::test
