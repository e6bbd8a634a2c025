// The outside programs the utility starts on Windows 5.x: "NET START NPROBE", which starts the
// older protocol driver while its file is in System32\Drivers, and the driver file installer's
// twin, which puts that file there.
#include <gtest/gtest.h>

#include <fstream>

#include "kv/platform/services.h"
#include "kv/sim/programs.h"
#include "kv/sim/testing/machine_builder.h"
#include "kv/sim/testing/scratch_directory.h"

namespace kv::sim {
namespace {

using testing::MachineBuilder;
using testing::traced;

constexpr char kDriverFile[] = "C/WINDOWS/System32/Drivers/diag50xp.sys";

ProgramExit start(Host& host, const char16_t* file, const char16_t* parameters) {
    const Program program = findProgram(file);
    EXPECT_NE(program, nullptr);
    ProgramRun run{host, "", splitParameters(parameters), std::filesystem::current_path()};
    return program(run);
}

TEST(NetCommand, StartsTheOlderDriverOnlyWithItsFile) {
    struct Case {
        const char* name;
        bool driverFile;
        bool installed;
        uint32_t exitCode;
        std::vector<std::string> tool;
    };
    const Case cases[] = {
        {"file and service", true, true, 0, {"net start NPROBE ok"}},
        {"no file", false, true, 2, {"net start NPROBE err=2"}},
        {"no service", true, false, 2, {"net start NPROBE err=1060"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MachineBuilder machine;
        machine.set("os.major", Json(5)).set("os.minor", Json(1)).set("protocolDriver.installed", Json(c.installed));
        if (c.driverFile) machine.file(kDriverFile, "driver");
        Host& host = machine.install();
        EXPECT_EQ(start(host, u"NET", u"START NPROBE").exitCode, c.exitCode);
        EXPECT_EQ(traced("tool"), c.tool);
        EXPECT_EQ(host.machine().protocolDriver.running, c.exitCode == 0);
        if (c.exitCode == 0) {
            EXPECT_EQ(start(host, u"net.exe", u"start nprobe").exitCode, 2u) << "already running";
            EXPECT_EQ(traced("service").back(), "start nprobe err=1056");
        }
    }
}

TEST(NetCommand, OtherServicesAndCommands) {
    MachineBuilder machine;
    machine.set("services.Spooler", Json::object());
    machine.set("services.Tracer.driverFile", Json("tracer.sys"));
    Host& host = machine.install();
    EXPECT_EQ(start(host, u"NET", u"START Spooler").exitCode, 0u);
    EXPECT_EQ(start(host, u"NET", u"START Tracer").exitCode, 2u) << "its driver file is missing";
    EXPECT_EQ(start(host, u"NET", u"START NPROBE").exitCode, 2u) << "Windows 6.0 has no older driver";
    EXPECT_EQ(start(host, u"NET", u"STOP Spooler").exitCode, 1u);
    EXPECT_EQ(start(host, u"NET", u"START").exitCode, 1u);
    EXPECT_EQ(traced("tool"), (std::vector<std::string>{"net start Spooler ok", "net start Tracer err=2",
                                                        "net start NPROBE err=1060", "net usage", "net usage"}));
}

TEST(DriverFileInstaller, CopiesTheDriverFileFromItsDirectory) {
    testing::ScratchDirectory scratch;
    MachineBuilder machine;
    machine.set("os.major", Json(5)).set("os.minor", Json(2)).file("C/WINDOWS/System32/Drivers/keep.sys", "");
    Host& host = machine.install();
    const auto installed = host.machine().directory / kDriverFile;

    EXPECT_EQ(start(host, u"C:\\Program Files\\Kelvadiag\\Plantdrv64.exe", u"").exitCode, 0u);
    EXPECT_FALSE(std::filesystem::exists(installed));
    ASSERT_EQ(traced("tool").size(), 1u);
    EXPECT_NE(traced("tool")[0].find("C:\\WINDOWS\\System32\\Drivers\\diag50xp.sys err=2"), std::string::npos);

    std::ofstream("diag50xp.sys") << "driver image";
    EXPECT_EQ(start(host, u"Plantdrv64.exe", u"").exitCode, 0u);
    EXPECT_TRUE(std::filesystem::exists(installed));
    EXPECT_NE(traced("tool")[1].find("diag50xp.sys ok"), std::string::npos);
    EXPECT_EQ(start(host, u"NET", u"START NPROBE").exitCode, 0u) << "the driver starts with its file in place";
}

}  // namespace
}  // namespace kv::sim
