// The protocol driver check and the miniport check with its supported-list scan.
#include "kv/protocol.h"
#include "library_fixture.h"
#include "state.h"

namespace kv::test {
namespace {

class DriverCheckTest : public LibraryTest {
protected:
    // The count lives as long as the library; each test starts from a freshly loaded one.
    void SetUp() override { lib::state().qualifiedAdapters = 0; }
};

TEST_F(DriverCheckTest, ProtocolDriverServiceAndDevice) {
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, Json>> settings;  // under protocolDriver
        bool openBefore;                                     // the caller holds the channel open
        int result;
        std::vector<std::string> starts;
    };
    const Case cases[] = {
        {"running", {}, false, 1, {"start TvNdPt60 err=1056"}},
        {"running, channel open", {}, true, 1, {"start TvNdPt60 err=1056"}},
        {"stopped", {{"running", Json(false)}}, false, 1, {"start TvNdPt60 ok"}},
        {"missing", {{"installed", Json(false)}}, false, 0, {}},
        {"does not start",
         {{"running", Json(false)}, {"faults.startError", Json(int64_t{1058})}},
         false,
         0,
         {"start TvNdPt60 err=1058"}},
        {"device refused", {{"faults.openError", Json(int64_t{5})}}, false, 0, {"start TvNdPt60 err=1056"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine = MachineBuilder();
        machine.addAdapter();
        for (const auto& [path, value] : c.settings) machine.set(std::string("protocolDriver.") + path, value);
        machine.install();
        if (c.openBefore) API_Open();
        EXPECT_EQ(API_CheckProtDrvInst(), c.result);
        EXPECT_EQ(traced("service"), c.starts);
        EXPECT_EQ(sleptMs(), c.starts.empty() ? 0u : 100u);
        EXPECT_EQ(API_IsPlug(), 0) << "the channel is closed afterwards";
        API_Close();
    }
}

// On Windows 5.x the library checks and opens the older protocol driver: service NPROBE, which
// starts only with its file in the system's driver directory, and the device "\\.\\NPROBE".
TEST_F(DriverCheckTest, OlderProtocolDriverOnWindows5) {
    struct Case {
        const char* name;
        int minor;
        bool driverFile;
        bool installed;
        int result;
        std::vector<std::string> starts;
    };
    const Case cases[] = {
        {"5.1 with file and service", 1, true, true, 1, {"start NPROBE ok"}},
        {"5.2 with file and service", 2, true, true, 1, {"start NPROBE ok"}},
        {"5.1 without the file", 1, false, true, 0, {"start NPROBE err=2"}},
        {"5.1 without either", 1, false, false, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        machine = MachineBuilder();
        machine.addAdapter();
        machine.set("os.major", Json(5)).set("os.minor", Json(c.minor));
        machine.set("protocolDriver.installed", Json(c.installed));
        if (c.driverFile) machine.file("C/WINDOWS/System32/Drivers/diag50xp.sys", "driver");
        machine.install();
        EXPECT_EQ(API_CheckProtDrvInst(), c.result);
        EXPECT_EQ(traced("service"), c.starts);
        EXPECT_EQ(API_Open(), c.result) << "the channel opens on the device of the service that runs";
        API_Close();
    }
}

// A supported list of 200 standard ids with the private ids 0xFF442001... at these positions.
Json supportedList(std::initializer_list<size_t> positions) {
    std::vector<uint32_t> ids(200, protocol::OID_GEN_LINK_SPEED);
    uint32_t next = protocol::OID_TVX_PCI_CONFIG;
    for (size_t p : positions) ids.at(p) = next++;
    Json list = Json::array();
    for (uint32_t id : ids) list.push_back(Json(id));
    return list;
}

TEST_F(DriverCheckTest, SupportedListNeedsTheFivePrivateIdsAmongTheFirst128) {
    struct Case {
        const char* name;
        const char* field;
        Json value;
        int result;
    };
    const Case cases[] = {
        {"the driver's own list", "description", Json("default"), 1},
        {"five at the start", "supportedOids", supportedList({0, 1, 2, 3, 4}), 1},
        {"five spread to the 128th", "supportedOids", supportedList({3, 40, 99, 126, 127}), 1},
        {"the fifth at 129th", "supportedOids", supportedList({0, 1, 2, 3, 128}), 0},
        {"only four", "supportedOids", supportedList({10, 20, 30, 40}), 0},
        {"no private commands", "faults.noPrivateCommands", Json(true), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        lib::state().qualifiedAdapters = 0;
        machine = MachineBuilder();
        machine.addAdapter().set(c.field, c.value);
        machine.install();
        EXPECT_EQ(API_CheckMiniportDrvInst(), c.result);
        std::vector<std::string> queries;
        for (const auto& q : ioctls("0012C804"))
            if (q.find(" 0101010000000000") != std::string::npos) queries.push_back(q.substr(0, 19));
        EXPECT_EQ(queries, std::vector<std::string>{"0012C804 1036 1036 "});
        EXPECT_EQ(API_IsPlug(), 0);
    }
}

TEST_F(DriverCheckTest, MiniportCheckWalksEveryAdapterAndKeepsItsCount) {
    machine.addAdapter().fault("noPrivateCommands", Json(true));
    machine.addAdapter().fault("openDeviceError", Json(int64_t{31}));
    machine.addAdapter();
    machine.install();
    EXPECT_EQ(API_CheckMiniportDrvInst(), 1);
    EXPECT_EQ(lib::state().qualifiedAdapters, 1);
    EXPECT_EQ(traced("msgbox"), (std::vector<std::string>{"Set Error code is 31", "Fail set"}));

    // A later walk that qualifies nothing still reports the adapter found before.
    machine = MachineBuilder();
    machine.addAdapter().fault("noPrivateCommands", Json(true));
    machine.addAdapter();
    machine.set("protocolDriver.faults.enumerationError", Json(int64_t{31}))
        .set("protocolDriver.faults.enumerationErrorAt", Json(int64_t{1}));
    machine.install();
    EXPECT_EQ(API_CheckMiniportDrvInst(), 1);
    EXPECT_EQ(lib::state().qualifiedAdapters, 1);
    EXPECT_EQ(traced("stdout"), std::vector<std::string>{"EnumerateDevices: terminated abnormally, error 31"});
}

}  // namespace
}  // namespace kv::test
