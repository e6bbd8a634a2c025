// Driver information from the adapter's driver key and INF file, the registry key hand-out and
// the connection name.
#include <algorithm>
#include <utility>

#include "kv/platform/registry.h"
#include "library_fixture.h"

namespace kv::test {
namespace {

const std::string kClassKey =
    R"(HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Class\{4D36E972-E325-11CE-BFC1-08002BE10318}\)";

using Values = std::vector<std::pair<std::string, std::string>>;

std::string regKey(const std::string& path, const Values& values) {
    std::string text = "[" + path + "]\r\n";
    for (const auto& [name, data] : values) text += "\"" + name + "\"=\"" + data + "\"\r\n";
    return text + "\r\n";
}

Values driverValues(const std::string& guid, const std::string& description) {
    return {{"NetCfgInstanceId", guid},   {"DriverDesc", description}, {"DriverVersion", "6.210.1124.2009"},
            {"DriverDate", "11-24-2009"}, {"ProviderName", "Tavrick"}, {"InfPath", "oem3.inf"}};
}

Values without(Values values, std::initializer_list<const char*> names) {
    for (const char* n : names) std::erase_if(values, [&](const auto& v) { return v.first == n; });
    return values;
}

constexpr char kInfWithFiles[] = R"([Version]
Signature = "$Windows NT$"

[SourceDisksNames]
1 = "Tavrick Ethernet Driver Disk", tvx60x64.sys,,

[SourceDisksFiles]
tvx60x64.sys = 1,,   ; the driver
tvxcoins.dll = 1,,
"tvx help.chm" = 1,, \
    , ,
)";

constexpr char kInfWithoutFiles[] = "[Version]\r\nSignature = \"$Windows NT$\"\r\nLayoutFile = layout.inf\r\n";

Json device(std::string driverKey, bool hidden = false, int adapterIndex = -1) {
    Json d = Json::object();
    if (adapterIndex >= 0) d.set("adapter", Json(adapterIndex));
    d.set("driverKey", Json(std::move(driverKey)));
    d.set("hidden", Json(hidden));
    return d;
}

class DriverInfoTest : public LibraryTest {
protected:
    std::string guid = MachineBuilder::guidOf(0);
};

TEST_F(DriverInfoTest, ReadsTheDriverKeyAndTheInf) {
    machine.addAdapter();
    machine.registry(regKey(kClassKey + "0000", driverValues(guid, "Tavrick 4450"))).inf("oem3.inf", kInfWithFiles);
    start();
    DriverInfo_W w{};
    ASSERT_EQ(API_GetDriverInfo_W(&w), 1);
    EXPECT_EQ(wideText(w.DriverDesc), u"Tavrick 4450");
    EXPECT_EQ(wideText(w.DriverVersion), u"6.210.1124.2009");
    EXPECT_EQ(wideText(w.InfPath), u"oem3.inf");
    EXPECT_EQ(wideText(w.BinaryName), u"tvx60x64.sys");

    auto a = std::make_unique<DriverInfo_A>();
    std::memset(a.get(), 0, sizeof(DriverInfo_A));
    ASSERT_EQ(API_GetDriverInfo_A(a.get()), 1);
    EXPECT_STREQ(a->DriverDesc, "Tavrick 4450");
    EXPECT_STREQ(a->InfPath, "oem3.inf");
    ASSERT_EQ(a->BinaryCount, 3u);
    EXPECT_STREQ(a->BinaryName[0], "tvx60x64.sys");
    EXPECT_STREQ(a->BinaryName[1], "tvxcoins.dll");
    EXPECT_STREQ(a->BinaryName[2], "tvx help.chm");
    EXPECT_TRUE(traced("msgbox").empty());
}

TEST_F(DriverInfoTest, EachFailedReadShowsItsMessageAndKeepsItsField) {
    const std::string tooLong(300, 'x');  // longer than the 518-byte read: a failed read
    Values values = without(driverValues(guid, "Tavrick 4450"), {"DriverVersion", "ProviderName"});
    values.emplace_back("DriverDate", tooLong);
    machine.addAdapter();
    machine.registry(regKey(kClassKey + "0000", values)).inf("oem3.inf", kInfWithFiles);
    start();
    auto a = std::make_unique<DriverInfo_A>();
    std::memset(a.get(), 0, sizeof(DriverInfo_A));
    std::strcpy(a->DriverVersion, "old version");
    std::strcpy(a->ProviderName, "old provider");
    std::strcpy(a->DriverDate, "old date");
    ASSERT_EQ(API_GetDriverInfo_A(a.get()), 1);
    EXPECT_STREQ(a->DriverDesc, "Tavrick 4450");
    EXPECT_STREQ(a->DriverVersion, "old version");
    EXPECT_STREQ(a->ProviderName, "old provider");
    EXPECT_STREQ(a->DriverDate, "old date");
    EXPECT_EQ(a->BinaryCount, 3u);
    EXPECT_EQ(traced("msgbox"), (std::vector<std::string>{
                                    "API_GetDriverInfo: Cannot get DriverVersion for this device.",
                                    "API_GetDriverInfo: Cannot get DriverDate for this device.",
                                    "API_GetDriverInfo: Cannot get ProviderName for this device.",
                                }));
}

TEST_F(DriverInfoTest, BinaryNameIsClearedWithoutSourceDisksFiles) {
    struct Case {
        const char* name;
        const char* inf;  // nullptr: no INF file at all
        bool infPath;
    } cases[] = {
        {"no SourceDisksFiles", kInfWithoutFiles, true},
        {"INF missing", nullptr, true},
        {"no InfPath value", kInfWithFiles, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MachineBuilder m;
        m.addAdapter();
        const Values values = driverValues(guid, "Tavrick 4450");
        m.registry(regKey(kClassKey + "0000", c.infPath ? values : without(values, {"InfPath"})));
        m.inf(c.inf ? "oem3.inf" : "other.inf", c.inf ? c.inf : kInfWithFiles);
        machine = m;
        start();
        DriverInfo_W w{};
        std::copy_n(u"stale.sys", 9, w.BinaryName);
        EXPECT_EQ(API_GetDriverInfo_W(&w), 1);
        EXPECT_EQ(w.BinaryName[0], 0);
        auto a = std::make_unique<DriverInfo_A>();
        std::memset(a.get(), 0, sizeof(DriverInfo_A));
        a->BinaryCount = 5;
        std::strcpy(a->BinaryName[0], "stale.sys");
        EXPECT_EQ(API_GetDriverInfo_A(a.get()), 1);
        EXPECT_EQ(a->BinaryCount, 0u);
        EXPECT_EQ(a->BinaryName[0][0], 0);
        EXPECT_STREQ(a->DriverDesc, "Tavrick 4450");
    }
}

TEST_F(DriverInfoTest, TheAnsiFormFillsAtMostSixteenSlots) {
    std::string inf = "[SourceDisksFiles]\r\n";
    for (int i = 0; i < 20; ++i) inf += "file" + std::to_string(i) + ".sys = 1\r\n";
    machine.addAdapter();
    machine.registry(regKey(kClassKey + "0000", driverValues(guid, "Tavrick 4450"))).inf("oem3.inf", inf);
    start();
    auto a = std::make_unique<DriverInfo_A>();
    std::memset(a.get(), 0, sizeof(DriverInfo_A));
    ASSERT_EQ(API_GetDriverInfo_A(a.get()), 1);
    EXPECT_EQ(a->BinaryCount, 16u);
    EXPECT_STREQ(a->BinaryName[15], "file15.sys");
}

TEST_F(DriverInfoTest, TheFirstPresentVisibleDeviceWithTheGuidWins) {
    struct Case {
        const char* name;
        bool otherHidden;
        std::string otherInstanceId;
        bool ownPresent;
        std::u16string expected;  // "?": nothing found, the record untouched
    } cases[] = {
        {"same GUID prefix, earlier", false, guid + "#twin", true, u"Other"},
        {"hidden, earlier", true, guid, true, u"Own"},
        {"hidden, alone", true, guid, false, u"?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MachineBuilder m;
        m.addAdapter();
        Json own = device("0000", false, 0);
        own.set("present", Json(c.ownPresent));
        m.set("devices", jsonArray<Json>({device("0007", c.otherHidden), own}));
        m.registry(regKey(kClassKey + "0007", driverValues(c.otherInstanceId, "Other")));
        m.registry(regKey(kClassKey + "0000", driverValues(guid, "Own")));
        machine = m;
        start();
        DriverInfo_W w{};
        w.DriverDesc[0] = u'?';
        ASSERT_EQ(API_GetDriverInfo_W(&w), 1);
        EXPECT_EQ(wideText(w.DriverDesc), c.expected);
        KV_HKEY key = nullptr;
        EXPECT_EQ(API_GetRegHKey_W(&key, kvText(u"").c_str(), 0), c.expected == u"?" ? 0 : 1);
        if (key) platform::registry().closeKey(key);
    }
}

TEST_F(DriverInfoTest, AnUnreadableInstanceIdIsSkippedWithOpenFail) {
    machine.addAdapter();
    machine.set("devices", jsonArray<Json>({device("0007"), device("0000", false, 0)}));
    machine.registry(regKey(kClassKey + "0007", without(driverValues(guid, "No id"), {"NetCfgInstanceId"})));
    machine.registry(regKey(kClassKey + "0000", driverValues(guid, "Own")));
    start();
    DriverInfo_W w{};
    ASSERT_EQ(API_GetDriverInfo_W(&w), 1);
    EXPECT_EQ(wideText(w.DriverDesc), u"Own");
    EXPECT_EQ(traced("msgbox"), std::vector<std::string>{"Open fail"});
    // The key hand-out runs the same search without messages.
    KV_HKEY key = nullptr;
    ASSERT_EQ(API_GetRegHKey_A(&key, nullptr, 0), 1);
    platform::registry().closeKey(key);
    EXPECT_EQ(traced("msgbox").size(), 1u);
}

using RegistryKeyTest = DriverInfoTest;

TEST_F(RegistryKeyTest, HandsOutSubKeysForReadingOrWriting) {
    machine.addAdapter();
    machine.registry(regKey(kClassKey + "0000", driverValues(guid, "Own")));
    machine.registry(regKey(kClassKey + "0000\\Ndi\\params\\*SpeedDuplex", {{"ParamDesc", "Speed & Duplex"}}));
    start();
    auto& reg = platform::registry();
    KV_HKEY params = nullptr;
    ASSERT_EQ(API_GetRegHKey_A(&params, "Ndi\\params", 0), 1);
    std::string name;
    EXPECT_EQ(reg.enumKeyA(params, 0, &name), 0u);
    EXPECT_EQ(name, "*SpeedDuplex");
    // Read access does not allow writing.
    EXPECT_EQ(reg.setValueA(params, "x", platform::regtype::kSz, "1", 2), platform::err::kAccessDenied);
    reg.closeKey(params);

    KV_HKEY driverKey = nullptr;
    ASSERT_EQ(API_GetRegHKey_W(&driverKey, nullptr, 1), 1);
    EXPECT_EQ(reg.setValueA(driverKey, "*SpeedDuplex", platform::regtype::kSz, "4", 2), 0u);
    reg.closeKey(driverKey);
    EXPECT_EQ(traced("regwrite").size(), 1u);

    KV_HKEY missing = reinterpret_cast<KV_HKEY>(0x1);
    EXPECT_EQ(API_GetRegHKey_A(&missing, "Ndi\\nothing", 0), 0);
    EXPECT_EQ(missing, reinterpret_cast<KV_HKEY>(0x1));
}

using ConnectionNameTest = DriverInfoTest;

TEST_F(ConnectionNameTest, NamesUpToTwentyFourCharactersFitTheWideForm) {
    struct Case {
        std::string name;
        int wideSize;
        int wide;
        int ansiSize;
        int ansi;
    } cases[] = {
        {"Local Area Connection", 260, 1, 260, 1},
        {std::string(24, 'n'), 260, 1, 260, 1},
        {std::string(25, 'n'), 260, 0, 260, 1},
        {"Local Area Connection 2", 10, 0, 23, 0},  // larger than the caller's buffer
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MachineBuilder m;
        m.addAdapter().set("connectionName", Json(c.name));
        machine = m;
        start();
        std::vector<KV_WCHAR> wide(300, u'#');
        std::vector<char> ansi(300, '#');
        EXPECT_EQ(API_GetConnName_W(wide.data(), c.wideSize), c.wide);
        EXPECT_EQ(API_GetConnName_A(ansi.data(), c.ansiSize), c.ansi);
        EXPECT_EQ(wide[0], c.wide ? static_cast<KV_WCHAR>(c.name[0]) : u'#');
        EXPECT_EQ(std::string(ansi.data(), c.ansi ? c.name.size() + 1 : 1),
                  c.ansi ? c.name + std::string(1, '\0') : "#");
        EXPECT_EQ(wide[c.name.size() + 1], u'#');  // nothing past the name and its terminator
        EXPECT_TRUE(traced("msgbox").empty());
    }
}

TEST_F(ConnectionNameTest, AMissingKeyIsReported) {
    machine.addAdapter().set("connectionName", Json(false));
    start();
    std::vector<char> ansi(260, '#');
    EXPECT_EQ(API_GetConnName_A(ansi.data(), 260), 0);
    EXPECT_EQ(traced("msgbox"), std::vector<std::string>{"API_GetConnName_W(): Cannot open registry key."});
}

}  // namespace
}  // namespace kv::test
