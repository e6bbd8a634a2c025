// Capture a machine, replay the capture, and ask both every read-only export of the library by
// adapter: the replay answers as the original did. Capturing the replay again gives the same
// machine files.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "capture_fixture.h"
#include "kelvalib.h"
#include "read_only_exports.h"

namespace kv::capture::test {
namespace {

using sim::Json;

Json array(std::initializer_list<Json> items) {
    Json a = Json::array();
    for (const auto& item : items) a.push_back(item);
    return a;
}

struct RoundTripCase {
    const char* name;
    std::function<void(const std::filesystem::path&)> write;
};

void writeBuilt(const std::filesystem::path& dir, const std::function<void(MachineBuilder&)>& build) {
    MachineBuilder machine;
    build(machine);
    machine.writeDirectory(dir);
}

const RoundTripCase kCases[] = {
    {"DefaultMachine", [](const auto& dir) { sim::writeDefaultMachine(dir); }},
    {"Vlans",
     [](const auto& dir) {
         writeBuilt(dir, [](auto& m) {
             Json tagged = Json::object();
             tagged.set("id", 4094);
             tagged.set("connectionName", "Backbone");
             Json ip = Json::object();
             ip.set("address", "10.1.2.3");
             ip.set("mask", "255.0.0.0");
             tagged.set("ip", ip);
             Json plain = Json::object();
             plain.set("id", 1);
             m.addAdapter(0x4430).set("vlans", array({tagged, plain})).set("vlanId", 7);
             m.addAdapter(0x4440).set("vlanSupport", false);
         });
     }},
    {"NoLink", [](const auto& dir) { writeBuilt(dir, [](auto& m) { m.addAdapter().link(false); }); }},
    {"CableFault",
     [](const auto& dir) {
         writeBuilt(dir, [](auto& m) {
             Json shorted = Json::object();
             shorted.set("state", "short");
             shorted.set("distance", 12);
             Json open = Json::object();
             open.set("state", "open");
             open.set("distance", 3);
             m.addAdapter(0x4440).set("cable.pairs", array({Json::object(), shorted, open}));
         });
     }},
    {"ForeignAdapter",
     [](const auto& dir) {
         writeBuilt(dir, [](auto& m) {
             m.addAdapter(0x4420);
             m.addForeignAdapter(
                 "Orrin \"Fast\" 10/100 \\ \xC3\x84"
                 "dapter");
         });
     }},
    {"TenAdapters",
     [](const auto& dir) {
         writeBuilt(dir, [](auto& m) {
             const uint16_t chips[] = {0x4410, 0x4420, 0x4430, 0x4440, 0x4450};
             for (int i = 0; i < 10; ++i) m.addAdapter(chips[i % 5]).link(i % 3 != 0, i % 2 ? 100 : 1000);
         });
     }},
    {"FailingPhyRead",
     [](const auto& dir) {
         writeBuilt(dir, [](auto& m) { m.addAdapter().fault("failingOids", array({Json("0xFF444009")})); });
     }},
    {"NoProtocolDriver",
     [](const auto& dir) {
         writeBuilt(dir, [](auto& m) {
             m.addAdapter();
             m.set("protocolDriver.installed", false);
         });
     }},
    {"WideEepromTrafficAndSettings",
     [](const auto& dir) {
         writeBuilt(dir, [](auto& m) {
             m.addAdapter(0x4430)
                 .set("registers",
                      [] {
                          Json r = Json::object();
                          r.set("0x44", "0x40");
                          return r;
                      }())
                 .set("eeprom.words", array({Json("0x1234"), Json(0), Json("0xBEEF")}))
                 .set("statistics.start.rxBytes", 734003200)
                 .set("statistics.start.txOneCollisions", 7)
                 .set("statistics.rxBytesPerSecond", 125000)
                 .set("ip.address", "192.168.7.20")
                 .set("ip.mask", "255.255.255.0")
                 .set("ndis.hardwareStatus", "notReady")
                 .set("connectionName", false)
                 .set("phy.mdix", true)
                 .set("link.duplex", "half");
             m.registry(
                 "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-"
                 "08002BE10318}\\0000]\n"
                 "\"NetCfgInstanceId\"=\"" +
                 MachineBuilder::guidOf(0) +
                 "\"\n\"DriverDesc\"=\"Tavrick 4430\"\n\"DriverVersion\"=\"6.210.1124.2009\"\n"
                 "\"DriverDate\"=\"11-24-2009\"\n\"ProviderName\"=\"Tavrick\"\n\"InfPath\"=\"oem7.inf\"\n"
                 "\"*JumboPacket\"=dword:00002328\n\"NetworkAddress\"=hex:00,11,22\n"
                 "\"Aliases\"=hex(7):61,00,00,00,62,00,00,00,00,00\n\n"
                 "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-"
                 "08002BE10318}\\0000\\Ndi\\params\\*JumboPacket]\n\"ParamDesc\"=\"Jumbo \\\"Frame\\\"\"\n\n"
                 "[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\" +
                 MachineBuilder::guidOf(0) + "]\n\"IPAddress\"=hex(7):31,00,00,00,00,00\n\"EnableDHCP\"=dword:0\n");
             m.inf("oem7.inf", "[SourceDisksFiles]\ntvx60x64.sys = 1,,\ntvxcoins.dll = 1,,\n");
         });
     }},
};

class RoundTrip : public CaptureTest, public ::testing::WithParamInterface<RoundTripCase> {};

// The list indexes of the VLAN virtual adapters of the installed machine.
std::vector<int> vlanIndexes() {
    auto list = std::make_unique<AdapterList_A>();
    std::vector<int> out;
    const bool listed = API_Open() == 1 && API_GetAdapterList_A(list.get()) == 1;
    API_Close();
    if (!listed) return out;
    for (int i = 0; i < static_cast<int>(list->Count) && i < KV_MAX_ADAPTERS; ++i)
        if (list->ParentIndex[i] != -1) out.push_back(i);
    return out;
}

// A VLAN's traffic counters are its parent miniport's, which keep growing with simulated time
// while the questions go from the parent to its VLANs; the replay's counters stand still (a
// capture cannot know the rates), so they are compared on the parent only.
bool isVlanCounterQuestion(const std::string& question, const std::vector<int>& vlans) {
    for (int index : vlans) {
        const std::string prefix = "adapter " + std::to_string(index) + " ";
        if (!question.starts_with(prefix)) continue;
        const std::string rest = question.substr(prefix.size());
        return rest.starts_with("API_GetOID") || rest.starts_with("API_GetStatistics");
    }
    return false;
}

TEST_P(RoundTrip, TheReplayAnswersEveryReadOnlyExportAsTheOriginal) {
    GetParam().write(folder("original"));
    installFrom(folder("original"));
    const Answers original = askReadOnlyExports();
    const std::vector<int> vlans = vlanIndexes();

    ASSERT_EQ(captureFreshly(folder("original"), folder("captured")), 0);
    installFrom(folder("captured"));
    const Answers replayed = askReadOnlyExports();

    for (const auto& [question, answer] : original) {
        const auto replay = replayed.find(question);
        ASSERT_NE(replay, replayed.end()) << question;
        if (isVlanCounterQuestion(question, vlans)) continue;
        EXPECT_EQ(replay->second, answer) << question;
    }
    EXPECT_EQ(replayed.size(), original.size());

    ASSERT_EQ(captureFreshly(folder("captured"), folder("recaptured")), 0);
    for (const char* file : {"machine.json", "registry.reg"})
        EXPECT_EQ(fileText(folder("recaptured") / file), fileText(folder("captured") / file)) << file;
}

// A length the PHY latched stays metres in the machine file, also on a gigabit link, where the
// PHY latches the estimator's steps (an odd length reads back one metre short).
TEST_F(CaptureTest, ALatchedCableLengthIsCapturedInMetresAtEverySpeed) {
    for (const uint32_t mbps : {100u, 1000u}) {
        MachineBuilder machine;
        machine.addAdapter(0x4450).link(true, mbps).set("cable.length", 42);
        const std::string speed = std::to_string(mbps);
        machine.writeDirectory(folder("original" + speed));
        installFrom(folder("original" + speed));
        auto list = std::make_unique<AdapterList_A>();
        ASSERT_EQ(API_Open(), 1);
        ASSERT_EQ(API_GetAdapterList_A(list.get()), 1);  // lists the adapters, the first one current
        ASSERT_EQ(API_WritePHY(1, 4, 1), 1);  // latches the estimate
        API_Close();
        ASSERT_EQ(captureMachine(utf8ToUtf16(folder("captured" + speed).string())), 0);
        EXPECT_NE(fileText(folder("captured" + speed) / "machine.json").find("\"length\": 42"), std::string::npos)
            << mbps;
    }
}

INSTANTIATE_TEST_SUITE_P(Machines, RoundTrip, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kv::capture::test
