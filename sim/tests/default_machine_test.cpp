// The embedded default machine loads cleanly and gives the utility something real for every
// adapter: driver values, connection names, binary names in the INF, addresses.
#include <gtest/gtest.h>

#include <filesystem>

#include "kv/sim/host.h"
#include "kv/sim/inf_file.h"
#include "kv/sim/machine.h"
#include "kv/sim/paths.h"
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
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kv::sim
