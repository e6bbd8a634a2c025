// A malformed machine.json ends loading with a message naming the file, the field and what it
// expects, never with a crash or a default in the field's place.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "kv/sim/host.h"
#include "kv/sim/machine.h"
#include "kv/sim/machine_schema.h"
#include "kv/sim/testing/machine_directory.h"
#include "kv/sim/testing/scratch_directory.h"

namespace kv::sim {
namespace {

// The message after the file's path, which every message starts with.
std::string loadError(const std::string& machineJson) {
    testing::ScratchDirectory dir;
    const auto file = std::filesystem::current_path() / "machine.json";
    std::ofstream(file) << machineJson;
    try {
        loadMachineDirectory(std::filesystem::current_path());
    } catch (const std::exception& e) {
        const std::string message = e.what();
        const std::string prefix = file.string() + ": ";
        return message.rfind(prefix, 0) == 0 ? message.substr(prefix.size()) : "(unnamed file) " + message;
    }
    return "(loaded)";
}

TEST(MachineLoader, EveryFieldOfTheWrongTypeOutOfRangeOrUnknownIsAnError) {
    struct Case {
        const char* machineJson;
        const char* message;
    };
    const Case cases[] = {
        {R"({"adapters":[{"guid":"{a}","link":{"up":"no"}}]})",
         R"(adapters[0].link.up: expects true or false, not "no")"},
        {R"({"adapters":[{"guid":"{a}","link":{"speed":"100Mbps"}}]})",
         R"(adapters[0].link.speed: expects a whole number from 0 to 429496, not "100Mbps")"},
        {R"({"adapters":[{"guid":"{a}","link":{"speed":500000}}]})",
         R"(adapters[0].link.speed: expects a whole number from 0 to 429496, not 500000)"},
        {R"({"adapters":[{"guid":"{a}","pci":{"device":"0x14450"}}]})",
         R"(adapters[0].pci.device: expects a number or a hex string ("0x1D7A") from 0 to 0xFFFF, not "0x14450")"},
        {R"({"adapters":[{"guid":"{a}","vlans":[{"id":0}]}]})",
         R"(adapters[0].vlans[0].id: expects a whole number from 1 to 4094, not 0)"},
        {R"({"adapters":[{"guid":"{a}","registers":{"0x400":1}}]})",
         R"(adapters[0].registers.0x400: expects an offset from 0 to 0x3FF)"},
        {R"({"adapters":[{"guid":"{a}","connectionName":true}]})",
         R"(adapters[0].connectionName: expects a string or false, not true)"},
        {R"({"adapters":[{"guid":"{a}","ip":{"address":"10.0.0"}}]})",
         R"(adapters[0].ip.address: expects a dotted IPv4 address ("192.168.0.20"), not "10.0.0")"},
        {R"({"adapters":[{"guid":"{a}","cable":{"length":-3}}]})",
         R"(adapters[0].cable.length: expects a number of metres, 0 or more, not -3)"},
        {R"({"adapters":[{"description":"no guid"}]})", R"(adapters[0].guid: is required)"},
        {R"({"adapters":[{"guid":"{a}","lnik":{}}]})", R"(adapters[0].lnik: unknown field (known here: guid, )"},
        {R"({"os":{"major":6.5}})", R"(os.major: expects a whole number from 0 to 4294967295, not 6.5)"},
        {R"({"services":{"NPROBE":{"running":"yes"}}})", R"(services.NPROBE.running: expects true or false)"},
        {R"({"adaptors":[]})", R"(adaptors: unknown field (known here: name, os, )"},
        {R"([1, 2])", R"(machine.json: expects an object, not an array)"},
        {"{\n  \"name\": \"x\",,\n}", "line 2, column 15: "},
    };
    for (const Case& c : cases) {
        const std::string error = loadError(c.machineJson);
        EXPECT_EQ(error.rfind(c.message, 0), 0u) << c.machineJson << " gave: " << error;
    }
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

// A program that does not ask for the problem itself is ended with it at its first system call.
TEST(MachineLoader, AProgramOnABrokenMachineEndsWithAFailingExitCode) {
    const testing::MachineDirectory directory{testing::MachineBuilder()};
    testing::writeFile(directory.machine() / "machine.json", R"({"adapters":[{"guid":"{a}","link":{"up":"no"}}]})");
    EXPECT_EQ(directory.run(KV_REGISTRY_PEER, {"delete", "SOFTWARE\\Any"}).exitCode, Host::kMachineProblemExitCode);
}

// Every machine.json example of docs/MACHINE.md is valid: a whole machine, an adapter, or a
// fragment of one.
TEST(MachineLoader, TheManualsExamplesAreValidMachineFiles) {
    std::ifstream manual(std::filesystem::path(KV_SOURCE_DIR) / "docs" / "MACHINE.md");
    ASSERT_TRUE(manual) << "docs/MACHINE.md cannot be read";
    std::string line;
    std::string block;
    int examples = 0;
    for (bool inBlock = false; std::getline(manual, line);) {
        if (!inBlock) {
            inBlock = line == "```json";
            continue;
        }
        if (line != "```") {
            block += line + "\n";
            continue;
        }
        inBlock = false;
        ++examples;
        Json example = parseJson(block.front() == '"' ? "{" + block + "}" : block);
        block.clear();
        if (!example.contains("guid") && !example.contains("adapters") && !example.contains("os"))
            example.set("guid", Json("{0}"));
        if (example.contains("guid")) {
            Json adapters = Json::array();
            adapters.push_back(example);
            example = Json::object();
            example.set("adapters", adapters);
        }
        EXPECT_NO_THROW(checkMachineJson(example)) << writeJson(example);
    }
    EXPECT_GE(examples, 4);
}

TEST(MachineLoader, DriverKeysBelowTheClassKeyMayHaveSeveralParts) {
    EXPECT_EQ(loadError(R"({"adapters":[{"guid":"{a}","device":{"driverKey":"0001\\x"}}]})"), "(loaded)");
}

}  // namespace
}  // namespace kv::sim
