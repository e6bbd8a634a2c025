// The device installer on the real system: the network class, the device search (which finds no
// adapter of the family here), and the INF reader on INF files written by the test.
#include <initguid.h>
// initguid.h must come first, so that the class GUIDs are defined here.
#include <devguid.h>

#include <fstream>

#include "device_search.h"
#include "kv/platform/device_installer.h"
#include "kv/platform/files.h"
#include "kv/platform/system.h"
#include "win32_test_support.h"

namespace kv::test {
namespace {

using namespace platform;

TEST(DeviceInstallerTest, TheNetClassGuidIsTheSystems) {
    const Guid& g = kNetClassGuid;
    EXPECT_EQ(g.data1, GUID_DEVCLASS_NET.Data1);
    EXPECT_EQ(g.data2, GUID_DEVCLASS_NET.Data2);
    EXPECT_EQ(g.data3, GUID_DEVCLASS_NET.Data3);
    EXPECT_TRUE(std::equal(g.data4.begin(), g.data4.end(), GUID_DEVCLASS_NET.Data4));

    std::vector<Guid> guids;
    ASSERT_TRUE(deviceInstaller().classGuidsFromName(u"Net", &guids));
    ASSERT_FALSE(guids.empty());
    EXPECT_EQ(guids.front(), kNetClassGuid);
    EXPECT_TRUE(deviceInstaller().classGuidsFromName(u"KelvadiagNoSuchClass", &guids));
    EXPECT_TRUE(guids.empty());
}

TEST(DeviceInstallerTest, ThePresentNetworkDevicesEndWithNoMoreItems) {
    auto devices = deviceInstaller().presentDevices(kNetClassGuid);
    ASSERT_NE(devices, nullptr);
    uint32_t count = 0;
    while (devices->exists(count)) {
        EXPECT_TRUE(devices->instanceId(count).has_value());
        ++count;
    }
    EXPECT_EQ(system().lastError(), err::kNoMoreItems);
    EXPECT_FALSE(devices->nodeStatus(count, &count, &count));
}

TEST(DeviceInstallerTest, TheDeviceSearchFindsNoAdapterOfTheFamily) {
    EXPECT_FALSE(lib::findAdapterDevice(u"{6F1C2B3A-4450-4C1D-9A7E-1D7A44500001}", lib::SearchMessages::None));
    EXPECT_FALSE(lib::findAdapterDevice(u"", lib::SearchMessages::None));
}

// A device whose hardware id no INF offers: registering it may work, installing it cannot, and it
// is removed again; a system that refuses the registration says why.
TEST(DeviceInstallerTest, ADeviceWithoutADriverCannotBeInstalledAndIsRemoved) {
    auto device = deviceInstaller().createDevice(kNetClassGuid, u"Net", u"kelvadiag_test_no_driver");
    if (!device) {
        EXPECT_NE(system().lastError(), 0u);
        return;
    }
    ASSERT_TRUE(device->exists(0));
    EXPECT_FALSE(device->installDevice(0));
    EXPECT_TRUE(device->removeDevice(0)) << system().lastError();
}

constexpr char kInf[] =
    "; A miniport driver's INF\r\n"
    "[Version]\r\n"
    "Signature=\"$Windows NT$\"\r\n"
    "Class=Net\r\n"
    "ClassGUID={4d36e972-e325-11ce-bfc1-08002be10318}\r\n"
    "Provider=%Maker%\r\n"
    "\r\n"
    "[SourceDisksFiles]\r\n"
    "tvx64.sys = 1,,\r\n"
    "tvxcoinst.dll = 1\r\n"
    "\r\n"
    "[Strings]\r\n"
    "Maker = \"Tavrick\"\r\n";

class InfReaderTest : public ::testing::Test {
protected:
    void write(const std::filesystem::path& path) {
        std::ofstream(path, std::ios::binary) << kInf;
        written_.push_back(path);
    }
    void TearDown() override {
        for (const auto& p : written_) std::filesystem::remove(p);
    }

    ScratchDirectory scratch;
    std::vector<std::filesystem::path> written_;
};

TEST_F(InfReaderTest, LinesAndFieldsOfARealInfFile) {
    write(scratch.path() / "oem7.inf");
    auto inf = deviceInstaller().openInf(u16(scratch.path() / "oem7.inf"));
    ASSERT_NE(inf, nullptr) << system().lastError();

    InfContext line;
    ASSERT_TRUE(inf->findFirstLine(u"sourcedisksfiles", &line));
    std::u16string field;
    ASSERT_TRUE(inf->stringField(line, 0, &field, 260));
    EXPECT_EQ(field, u"tvx64.sys");
    EXPECT_TRUE(inf->stringField(line, 1, &field, 260));
    EXPECT_EQ(field, u"1");
    EXPECT_GE(inf->fieldCount(line), 1u);
    // "tvx64.sys" needs ten characters with its terminator.
    EXPECT_FALSE(inf->stringField(line, 0, &field, 9));
    EXPECT_EQ(system().lastError(), err::kInsufficientBuffer);
    EXPECT_TRUE(inf->stringField(line, 0, &field, 10));

    InfContext next;
    ASSERT_TRUE(inf->findNextLine(line, &next));
    ASSERT_TRUE(inf->stringField(next, 0, &field, 260));
    EXPECT_EQ(field, u"tvxcoinst.dll");
    EXPECT_FALSE(inf->findNextLine(next, &line));

    // Strings substitute; a missing section has no first line.
    ASSERT_TRUE(inf->findFirstLine(u"Version", &line));
    while (inf->stringField(line, 0, &field, 260) && field != u"Provider") ASSERT_TRUE(inf->findNextLine(line, &line));
    ASSERT_TRUE(inf->stringField(line, 1, &field, 260));
    EXPECT_EQ(field, u"Tavrick");
    EXPECT_FALSE(inf->findFirstLine(u"Manufacturer", &line));
}

TEST_F(InfReaderTest, ABareNameIsLookedUpInTheSystemsInfFolder) {
    const std::u16string name = u"kelvadiag-" + utf8ToUtf16(std::to_string(GetCurrentProcessId())) + u".inf";
    const std::filesystem::path folder = std::filesystem::path(files().windowsDirectory()) / "inf";
    write(folder / name);
    EXPECT_NE(deviceInstaller().openInf(name), nullptr);
    EXPECT_EQ(deviceInstaller().openInf(u"kelvadiag-no-such-file.inf"), nullptr);
}

}  // namespace
}  // namespace kv::test
