// A malformed machine.json ends loading with a message naming the field, never with a crash.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "kv/sim/machine.h"
#include "kv/sim/testing/scratch_directory.h"

namespace kv::sim {
namespace {

std::string loadError(const std::string& machineJson) {
    testing::ScratchDirectory dir;
    std::ofstream(std::filesystem::current_path() / "machine.json") << machineJson;
    try {
        loadMachineDirectory(std::filesystem::current_path());
    } catch (const std::exception& e) {
        return e.what();
    }
    return "(loaded)";
}

TEST(MachineLoader, RegistryPathsWithEmptyPartsAreRefusedByField) {
    struct Case {
        const char* machineJson;
        const char* message;
    };
    const Case cases[] = {
        {R"({"adapters":[{"guid":"{\\}"}]})", "adapters[0]: guid must not contain a backslash"},
        {R"({"adapters":[{"guid":"{a\\\\b}"}]})", "adapters[0]: guid must not contain a backslash"},
        {R"({"adapters":[{"guid":"{a}","device":{"driverKey":"\\"}}]})", "adapters[0].device.driverKey \"\\\""},
        {R"({"adapters":[{"guid":"{a}","device":{"driverKey":"0001\\\\x"}}]})",
         "adapters[0].device.driverKey \"0001\\\\x\""},
        {R"({"adapters":[{"guid":"{a}"}],"devices":[{"adapter":0,"driverKey":"0001\\"}]})",
         "devices[0].driverKey \"0001\\\""},
        {R"({"devices":[{"componentId":"pci\\ven_1","driverKey":"\\0001"}]})", "devices[0].driverKey \"\\0001\""},
    };
    for (const Case& c : cases) {
        const std::string error = loadError(c.machineJson);
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << c.machineJson << " gave: " << error;
    }
}

TEST(MachineLoader, DriverKeysBelowTheClassKeyMayHaveSeveralParts) {
    EXPECT_EQ(loadError(R"({"adapters":[{"guid":"{a}","device":{"driverKey":"0001\\x"}}]})"), "(loaded)");
}

}  // namespace
}  // namespace kv::sim
