// Cyclenic64 run as a process on simulated machines: exit codes, the property changes it makes
// through the device installer, and its install log.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "kv/sim/testing/machine_directory.h"

namespace kv::cyclenic {
namespace {

using sim::Json;
using sim::testing::MachineBuilder;
using sim::testing::MachineDirectory;
using sim::testing::ProgramRun;

constexpr char kDriverKeys[] =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\"
    "{4D36E972-E325-11CE-BFC1-08002BE10318}\\";

std::string disabled(const std::string& device) { return device + " disable scope=2 profile=0 ok"; }
std::string enabled(const std::string& device) { return device + " enable scope=2 profile=0 ok"; }

// One device of every family member and one of another maker. The 4450's component id is made
// from its PCI ids (with a subsystem part); the 4430's is written in registry.reg, upper-case and
// without one; the 4410's comes from machine.json.
MachineBuilder familyMachine() {
    MachineBuilder m;
    for (uint16_t id : {0x4450, 0x4430, 0x4440, 0x4410, 0x4420}) {
        char name[16];
        std::snprintf(name, sizeof name, "NIC%04X", id);
        m.addAdapter(id).set("device.instanceId", Json(name));
    }
    m.addForeignAdapter().set("device.instanceId", Json("OTHER"));
    m.registry(std::string("[") + kDriverKeys + "0001]\r\n\"ComponentId\"=\"PCI\\\\VEN_1D7A&DEV_4430\"\r\n");
    m.adapter(3).set("device.componentId", Json("PCI\\VEN_1D7A&DEV_4410&SUBSYS_12345678"));
    return m;
}

TEST(Cyclenic64Test, CommandLines) {
    const MachineDirectory machine(familyMachine());
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        bool passes;  // the two restart passes ran, a second apart
        std::vector<std::string> restarted;
    };
    const Case cases[] = {
        {{"/4450"}, 0, true, {"NIC4450", "NIC4430"}},
        {{"/4450", "/4440"}, 0, true, {"NIC4440", "NIC4410"}},
        {{"/4420"}, 0, true, {"NIC4420"}},
        {{"\"C:\\Tools\\\"", "/4420"}, 0, true, {"NIC4420"}},
        {{"/HWID", "PCI\\VEN_1D7A&DEV_4450"}, 0, false, {}},
        {{"/4450", "/hwid"}, 2, false, {}},
        {{"/4450", "/reset"}, 2, false, {}},
        {{}, 2, false, {}},
    };
    for (const Case& c : cases) {
        std::string label;
        for (const auto& a : c.arguments) label += a + " ";
        const ProgramRun run = machine.run(KV_CYCLENIC64, c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << label;
        std::vector<std::string> changes;
        for (const auto& d : c.restarted) changes.push_back(disabled(d));
        for (const auto& d : c.restarted) changes.push_back(enabled(d));
        EXPECT_EQ(run.traced("propchange"), changes) << label;
        EXPECT_EQ(run.traced("sleep"), c.passes ? std::vector<std::string>{"1000"} : std::vector<std::string>{})
            << label;
    }
    // The normal build keeps no log.
    EXPECT_FALSE(std::filesystem::exists(machine.workingDirectory() / "InstallLog.txt"));
}

TEST(Cyclenic64Test, SkipsDevicesItCannotRead) {
    MachineBuilder m;
    m.addAdapter(0x4450).set("device.instanceId", Json("HIDDEN")).set("device.hidden", Json(true));
    const std::string id4450 = "pci\\ven_1d7a&dev_4450";
    struct Listed {
        const char* name;
        std::string componentId;  // empty: the device has no driver key
        const char* fault;
    };
    const Listed listed[] = {
        {"NOSTATUS", id4450, "nodeStatus"},
        {"NOKEY", "", nullptr},
        {"LONGID", id4450 + std::string(300, 'x'), nullptr},  // more than the 259 bytes read
        {"VISIBLE", id4450 + "&subsys_00011d7a", nullptr},
    };
    Json devices = Json::array();
    for (const Listed& l : listed) {
        Json d = Json::object();
        sim::testing::setPath(d, "instanceId", Json(l.name));
        if (!l.componentId.empty()) sim::testing::setPath(d, "componentId", Json(l.componentId));
        if (l.fault) sim::testing::setPath(d, std::string("faults.") + l.fault, Json(true));
        devices.push_back(std::move(d));
    }
    m.set("devices", std::move(devices));
    const ProgramRun run = MachineDirectory(m).run(KV_CYCLENIC64, {"/4450"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.traced("propchange"), (std::vector<std::string>{disabled("VISIBLE"), enabled("VISIBLE")}));
}

TEST(Cyclenic64Test, ARefusedChangeEndsOnlyItsPass) {
    MachineBuilder m;
    for (const char* name : {"FIRST", "REFUSING", "LAST"}) m.addAdapter(0x4450).set("device.instanceId", Json(name));
    m.adapter(1).set("device.faults.refusePropertyChange", Json(true));
    const ProgramRun run = MachineDirectory(m).run(KV_CYCLENIC64, {"/4450"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.traced("propchange"),
              (std::vector<std::string>{disabled("FIRST"), "REFUSING disable scope=2 profile=0 err=5", enabled("FIRST"),
                                        "REFUSING enable scope=2 profile=0 err=5"}));
    EXPECT_EQ(run.traced("sleep"), std::vector<std::string>{"1000"});
}

TEST(Cyclenic64Test, SystemVersions) {
    struct Case {
        std::string platform;
        int major;
        bool extendedFails, basicFails;
        std::vector<std::string> arguments;
        int exitCode;
    };
    const Case cases[] = {
        {"nt", 5, true, false, {"/4450"}, 0},  // the basic record stands in
        {"nt", 6, true, true, {"/4450"}, 1},   // no record: all zero
        {"nt", 7, false, false, {"/4450"}, 1},
        {"nt", 7, false, false, {}, 1},  // the version is judged before the command line
        {"win32s", 3, false, false, {"/4450"}, 1},
    };
    for (const Case& c : cases) {
        MachineBuilder m;
        m.addAdapter(0x4450);
        m.set("os.platform", Json(c.platform)).set("os.major", Json(c.major)).set("os.minor", Json(0));
        m.set("os.faults.versionEx", Json(c.extendedFails)).set("os.faults.version", Json(c.basicFails));
        const ProgramRun run = MachineDirectory(m).run(KV_CYCLENIC64, c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.platform << " " << c.major;
        EXPECT_EQ(run.traced("propchange").size(), c.exitCode == 0 ? 2u : 0u) << c.platform << " " << c.major;
    }
}

TEST(Cyclenic64Test, TheLoggingBuildWritesInstallLog) {
    const std::string use = "Use OEM HWID...\n";
    struct Case {
        int ntMajor;
        std::vector<std::string> arguments;
        int exitCode;
        std::string log;
    };
    const Case cases[] = {
        {6,
         {"/HWID", "PCI\\VEN_1D7A&DEV_4450&SUBSYS_00011D7A\"x", "/4450"},
         0,
         use + "pci\\ven_1d7a&dev_4450&subsys_00011d7a\nExit code: = 0\n"},
        {6, {"/4420"}, 0, "Exit code: = 0\n"},
        {6, {"/hwid", "pci\\ven_8086", "/4450"}, 2, use + "Wrong OEM HWID...\n"},
        {6, {}, 2, ""},
        {7, {"/4450"}, 1, ""},
    };
    for (const Case& c : cases) {
        MachineBuilder m;
        m.addAdapter(0x4450);
        m.set("os.major", Json(c.ntMajor));
        const MachineDirectory machine(m);
        const std::filesystem::path log = machine.workingDirectory() / "InstallLog.txt";
        sim::testing::writeFile(log, "left from an earlier run\n");
        EXPECT_EQ(machine.run(KV_CYCLENIC64_LOG, c.arguments).exitCode, c.exitCode) << c.log;
        EXPECT_EQ(sim::testing::readFile(log), c.log);
    }
}

}  // namespace
}  // namespace kv::cyclenic
