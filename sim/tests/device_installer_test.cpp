// The simulated device installer: the Net class list in its declared order, node status with the
// hidden flag, driver keys, and property changes that take adapters away and bring them back.
#include <gtest/gtest.h>

#include "kv/platform/device_installer.h"
#include "kv/platform/registry.h"
#include "kv/platform/system.h"
#include "kv/sim/testing/machine_builder.h"

namespace kv::sim {
namespace {

namespace p = kv::platform;
using testing::MachineBuilder;
using testing::setPath;
using testing::traced;

std::unique_ptr<p::DeviceInfoSet> netDevices() {
    std::vector<p::Guid> classes;
    EXPECT_TRUE(p::deviceInstaller().classGuidsFromName(u"net", &classes));
    EXPECT_EQ(classes, std::vector<p::Guid>{p::kNetClassGuid});
    return p::deviceInstaller().presentDevices(classes.at(0));
}

TEST(DeviceInstallerTest, DevicesFollowTheDeclaredOrderThenTheRemainingAdapters) {
    MachineBuilder m;
    m.addAdapter(0x4450);
    m.addAdapter(0x4420);
    Json devices = Json::array();
    Json hidden = Json::object();
    hidden.set("adapter", Json(int64_t{1}));
    hidden.set("hidden", Json(true));
    devices.push_back(hidden);
    Json wan = Json::object();
    wan.set("instanceId", Json("ROOT\\MS_PPPOEMINIPORT\\0000"));
    wan.set("driverKey", Json("0009"));
    devices.push_back(wan);
    m.set("devices", devices);
    m.install();

    auto set = netDevices();
    std::vector<std::u16string> ids;
    for (uint32_t i = 0; set->exists(i); ++i) ids.push_back(set->instanceId(i).value());
    ASSERT_EQ(ids.size(), 3u);
    EXPECT_EQ(ids[0].substr(0, 21), u"PCI\\VEN_1D7A&DEV_4420");
    EXPECT_EQ(ids[1], u"ROOT\\MS_PPPOEMINIPORT\\0000");
    EXPECT_EQ(ids[2].substr(0, 21), u"PCI\\VEN_1D7A&DEV_4450");

    uint32_t status = 0, problem = 0;
    ASSERT_TRUE(set->nodeStatus(0, &status, &problem));
    EXPECT_NE(status & p::kDnNoShowInDeviceManager, 0u);
    ASSERT_TRUE(set->nodeStatus(2, &status, &problem));
    EXPECT_EQ(status & p::kDnNoShowInDeviceManager, 0u);
    // The device without an adapter has no driver key in the registry.
    EXPECT_EQ(set->openDriverKey(1, p::regaccess::kRead), nullptr);
}

TEST(DeviceInstallerTest, DriverKeysCarryTheAdapterGuidAndComponentId) {
    MachineBuilder m;
    m.addAdapter(0x4450);
    m.install();
    auto set = netDevices();
    p::RegKey key(set->openDriverKey(0, p::regaccess::kAllAccess));
    ASSERT_TRUE(key.valid());
    char text[260] = {};
    uint32_t bytes = sizeof text;
    ASSERT_EQ(p::registry().queryValueA(key.get(), "NetCfgInstanceId", nullptr, text, &bytes), 0u);
    EXPECT_EQ(std::string(text), MachineBuilder::guidOf(0));
    bytes = sizeof text;
    ASSERT_EQ(p::registry().queryValueA(key.get(), "ComponentId", nullptr, text, &bytes), 0u);
    EXPECT_EQ(std::string(text), "pci\\ven_1d7a&dev_4450&subsys_00011d7a");
}

TEST(DeviceInstallerTest, PropertyChangesActOnTheAdapterOnTheTimeline) {
    MachineBuilder m;
    m.addAdapter(0x4450).set("device.restartMs", Json(int64_t{1500}));
    Host& host = m.install();
    Adapter& adapter = *host.machine().adapters[0];
    auto set = netDevices();
    auto change = [&](uint32_t state) {
        return set->setPropertyChangeParams(0, state, p::setup::kDicsFlagConfigSpecific, 0) &&
               set->callClassInstaller(p::setup::kDifPropertyChange, 0);
    };
    ASSERT_TRUE(change(p::setup::kDicsDisable));
    EXPECT_FALSE(adapter.present);
    uint32_t status = 0, problem = 0;
    ASSERT_TRUE(set->nodeStatus(0, &status, &problem));
    EXPECT_EQ(problem, 22u);
    ASSERT_TRUE(change(p::setup::kDicsEnable));
    EXPECT_FALSE(adapter.present) << "an enabled adapter takes its restart time to come back";
    host.sleep(1499);
    EXPECT_FALSE(adapter.present);
    host.sleep(1);
    EXPECT_TRUE(adapter.present);
    const auto lines = traced("propchange");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(lines[0].find(' ')), " disable scope=2 profile=0 ok");
    EXPECT_EQ(lines[1].substr(lines[1].find(' ')), " enable scope=2 profile=0 ok");
}

TEST(DeviceInstallerTest, RefusedPropertyChangeAndMissingParameters) {
    MachineBuilder m;
    m.addAdapter(0x4450).set("device.faults.refusePropertyChange", Json(true));
    Host& host = m.install();
    auto set = netDevices();
    EXPECT_FALSE(set->callClassInstaller(p::setup::kDifPropertyChange, 0)) << "no parameters set";
    ASSERT_TRUE(set->setPropertyChangeParams(0, p::setup::kDicsPropChange, p::setup::kDicsFlagGlobal, 0));
    EXPECT_FALSE(set->callClassInstaller(p::setup::kDifPropertyChange, 0));
    EXPECT_EQ(p::system().lastError(), p::err::kAccessDenied);
    EXPECT_TRUE(host.machine().adapters[0]->present);
}

}  // namespace
}  // namespace kv::sim
