// The embedded default machine loads cleanly and gives the utility something real for every
// adapter: driver values, connection names, binary names in the INF, addresses.
#include <gtest/gtest.h>

#include <filesystem>

#include "kv/sim/host.h"
#include "kv/sim/inf_file.h"
#include "kv/sim/machine.h"
#include "kv/sim/paths.h"
#include "kv/sim/testing/machine_directory.h"
#include "kv/sim/testing/write_faults.h"
#include "kv/text.h"

namespace kv::sim {
namespace {

TEST(DefaultMachine, EveryAdapterHasItsDriverKeyAndConnection) {
    const auto dir = std::filesystem::temp_directory_path() / "kelva-default-machine-test";
    std::filesystem::remove_all(dir);
    writeDefaultMachine(dir);
    auto machine = loadMachineDirectory(dir);
    // Four adapters, and the two VLANs of the 4450 as virtual adapters of their own.
    ASSERT_EQ(machine->adapters.size(), 6u);
    EXPECT_EQ(machine->adapters[4]->vlanId, 10u);
    EXPECT_EQ(machine->adapters[5]->vlanId, 20u);
    EXPECT_EQ(machine->adapters[5]->vlanParent, machine->adapters[0].get());
    for (const Device& d : machine->devices) {
        if (d.adapterIndex < 0) continue;
        const Adapter& a = *machine->adapters[static_cast<size_t>(d.adapterIndex)];
        SCOPED_TRACE(utf16ToUtf8(a.description));
        const RegistryKey* key = machine->registry.find(std::u16string(kNetClassKeyPath) + u"\\" + d.driverKey);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->findValue(u"NetCfgInstanceId")->asString(), a.guid);
        for (const char16_t* name : {u"DriverDesc", u"DriverVersion", u"DriverDate", u"ProviderName", u"InfPath"})
            EXPECT_NE(key->findValue(name), nullptr) << utf16ToUtf8(name);
        const RegistryKey* connection =
            machine->registry.find(std::u16string(kNetworkConnectionsKeyPath) + u"\\" + a.guid + u"\\Connection");
        ASSERT_NE(connection, nullptr);
        EXPECT_EQ(connection->findValue(u"PnpInstanceID")->asString(), d.instanceId);

        const std::u16string inf = key->findValue(u"InfPath")->asString();
        const auto path = dir / "C" / "WINDOWS" / "INF" / utf16ToUtf8(inf);
        ASSERT_TRUE(std::filesystem::exists(path));
        std::ifstream in(path, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto* files = InfFile::parseBytes(bytes).section(u"SourceDisksFiles");
        // The maker's packages name their binaries; the other maker's inbox INF has none.
        EXPECT_EQ(files != nullptr, a.pci.vendorId == 0x1D7A);
    }
    // A newcomer sees the VLAN page work on the 4450 (driver 6.620) and refuse on the 4440 (6.210).
    auto versionOf = [&machine](size_t device) {
        const Device& d = machine->devices[device];
        return machine->registry.find(std::u16string(kNetClassKeyPath) + u"\\" + d.driverKey)
            ->findValue(u"DriverVersion")
            ->asString();
    };
    EXPECT_EQ(versionOf(1), u"6.620.315.2011");
    EXPECT_EQ(versionOf(3), u"6.210.1124.2009");
    std::filesystem::remove_all(dir);
}

class DefaultMachineDirectory : public ::testing::Test {
protected:
    DefaultMachineDirectory() { std::filesystem::remove_all(dir_); }
    ~DefaultMachineDirectory() override { std::filesystem::remove_all(dir_); }
    const std::filesystem::path dir_ =
        std::filesystem::temp_directory_path() /
        ("kelva-default-machine-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
};

// A disk that fills up while the default machine is made: the failing file and the system's
// error are told, no machine.json marks the directory complete, and the next run makes it whole.
TEST_F(DefaultMachineDirectory, ACreationCutShortIsMadeWholeOnTheNextRun) {
    for (const char* failing : {"registry.reg", "oem4.inf", "Kelvadiag.exe", "machine.json"}) {
        SCOPED_TRACE(failing);
        const auto faults = testing::WriteFaults::diskFullAt(failing);
        const std::string problem = ensureDefaultMachine(dir_);
        EXPECT_NE(problem.find(failing), std::string::npos) << problem;
        EXPECT_NE(problem.find("No space left on device (error 28)"), std::string::npos) << problem;
        EXPECT_FALSE(std::filesystem::exists(dir_ / "machine.json"));
    }
    EXPECT_EQ(ensureDefaultMachine(dir_), "");
    EXPECT_EQ(loadMachineDirectory(dir_)->adapters.size(), 6u);
    EXPECT_NE(testing::readFile(dir_ / "C" / "WINDOWS" / "INF" / "oem4.inf").find("[Strings]"), std::string::npos);
}

// A machine.json that an earlier creation left empty or cut marks nothing: the directory is made
// again, a cut file kept beside it. A machine.json that is JSON is the user's and stays.
TEST_F(DefaultMachineDirectory, AnEmptyOrCutMachineJsonIsMadeAgain) {
    struct Case {
        const char* text;
        bool madeAgain;
    } cases[] = {{"", true}, {" \r\n", true}, {"{ \"name\": \"Default work", true}, {"{ \"name\": \"Mine\" }", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        testing::writeFile(dir_ / "machine.json", c.text);
        EXPECT_EQ(ensureDefaultMachine(dir_), "");
        EXPECT_EQ(std::filesystem::exists(dir_ / "registry.reg"), c.madeAgain);
        const bool cut = c.madeAgain && std::string(c.text).find('{') != std::string::npos;
        EXPECT_EQ(testing::readFile(dir_ / "machine.json.invalid"), cut ? c.text : "");
    }
}

}  // namespace
}  // namespace kv::sim
