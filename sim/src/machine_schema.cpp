#include "kv/sim/machine_schema.h"

#include <cmath>
#include <functional>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "kv/ipv4.h"
#include "kv/sim/machine_json.h"

namespace kv::sim {

namespace {

using Check = std::function<void(const Json& value, const std::string& path)>;

std::string describe(const Json& value) {
    switch (value.type()) {
        case Json::Type::Null:
            return "null";
        case Json::Type::Bool:
        case Json::Type::Number:
            return writeJson(value, 0);
        case Json::Type::String: {
            const std::string text = value.asString();
            return "\"" + (text.size() > 40 ? text.substr(0, 40) + "..." : text) + "\"";
        }
        case Json::Type::Array:
            return "an array";
        case Json::Type::Object:
            return "an object";
    }
    return "a value";
}

[[noreturn]] void fail(const std::string& path, const std::string& expectation, const Json& value) {
    throw std::runtime_error(path + ": expects " + expectation + ", not " + describe(value));
}

std::string member(const std::string& path, const std::string& name) { return path.empty() ? name : path + "." + name; }

// A whole number, written as one (an integral double too); none for anything else.
std::optional<uint64_t> wholeNumber(const Json& value) {
    if (value.isInteger()) {
        if (value.asInt(-1) < 0 && value.asUInt(0) == 0) return std::nullopt;
        return value.asUInt();
    }
    if (!value.isNumber()) return std::nullopt;
    const double d = value.asDouble();
    if (d < 0 || d > 1.8e19 || std::floor(d) != d) return std::nullopt;
    return static_cast<uint64_t>(d);
}

// A whole number, or a string holding one in decimal or as 0x hex.
std::optional<uint64_t> numberOrHex(const Json& value) {
    if (!value.isString()) return wholeNumber(value);
    const uint64_t a = value.asUIntOrHex(0);
    return a == value.asUIntOrHex(1) ? std::optional<uint64_t>(a) : std::nullopt;
}

std::string hexText(uint64_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    do out.insert(out.begin(), kDigits[value & 15]);
    while (value >>= 4);
    return "0x" + out;
}

Check boolean() {
    return [](const Json& v, const std::string& path) {
        if (!v.isBool()) fail(path, "true or false", v);
    };
}

Check whole(uint64_t max, uint64_t min = 0) {
    return [=](const Json& v, const std::string& path) {
        const auto n = wholeNumber(v);
        if (!n || *n < min || *n > max)
            fail(path, "a whole number from " + std::to_string(min) + " to " + std::to_string(max), v);
    };
}

Check hexOrWhole(uint64_t max) {
    return [=](const Json& v, const std::string& path) {
        const auto n = numberOrHex(v);
        if (!n || *n > max) fail(path, "a number or a hex string (\"0x1D7A\") from 0 to " + hexText(max), v);
    };
}

Check metres() {
    return [](const Json& v, const std::string& path) {
        if (!v.isNumber() || v.asDouble(-1) < 0) fail(path, "a number of metres, 0 or more", v);
    };
}

Check text() {
    return [](const Json& v, const std::string& path) {
        if (!v.isString()) fail(path, "a string", v);
    };
}

Check textThat(std::function<bool(const std::string&)> fits, std::string expectation) {
    return [=](const Json& v, const std::string& path) {
        if (!v.isString() || !fits(v.asString())) fail(path, expectation, v);
    };
}

Check address() {
    return textThat([](const std::string& s) { return parseIpv4(s).has_value(); },
                    "a dotted IPv4 address (\"192.168.0.20\")");
}

Check mac() {
    return textThat(
        [](const std::string& s) {
            try {
                parseMac(s);
                return true;
            } catch (const std::runtime_error&) {
                return false;
            }
        },
        "an Ethernet address (\"00-1D-7A-44-50-01\")");
}

Check choice(std::initializer_list<const char*> names) {
    std::vector<std::string> allowed(names.begin(), names.end());
    std::string expectation;
    for (size_t i = 0; i < allowed.size(); ++i)
        expectation += (i == 0 ? "" : i + 1 == allowed.size() ? " or " : ", ") + ("\"" + allowed[i] + "\"");
    return [=](const Json& v, const std::string& path) {
        for (const auto& name : allowed)
            if (v.isString() && v.asString() == name) return;
        fail(path, expectation, v);
    };
}

// The first of the checks that takes the value; `expectation` when none does.
Check either(std::vector<Check> checks, std::string expectation) {
    return [=](const Json& v, const std::string& path) {
        for (const Check& check : checks) {
            try {
                check(v, path);
                return;
            } catch (const std::runtime_error&) {
            }
        }
        fail(path, expectation, v);
    };
}

struct Field {
    std::string name;
    Check check;
    bool required = false;
};

Check object(std::vector<Field> fields) {
    return [fields = std::move(fields)](const Json& v, const std::string& path) {
        if (!v.isObject()) fail(path.empty() ? "machine.json" : path, "an object", v);
        for (const auto& [name, value] : v.items()) {
            const Field* field = nullptr;
            for (const Field& f : fields)
                if (name == f.name) field = &f;
            if (!field) {
                std::string known;
                for (const Field& f : fields) known += (known.empty() ? "" : ", ") + f.name;
                throw std::runtime_error(member(path, name) + ": unknown field (known here: " + known + ")");
            }
            field->check(value, member(path, name));
        }
        for (const Field& f : fields)
            if (f.required && !v.contains(f.name)) throw std::runtime_error(member(path, f.name) + ": is required");
    };
}

Check arrayOf(Check element, size_t most = SIZE_MAX) {
    return [=](const Json& v, const std::string& path) {
        if (!v.isArray() || v.size() > most)
            fail(path, most == SIZE_MAX ? "an array" : "an array of at most " + std::to_string(most) + " entries", v);
        for (size_t i = 0; i < v.size(); ++i) element(v[i], path + "[" + std::to_string(i) + "]");
    };
}

// An object whose member names are data (offsets, service names), each checked by `key`.
Check mapOf(std::function<bool(const std::string&)> key, std::string keyExpectation, Check value) {
    return [=](const Json& v, const std::string& path) {
        if (!v.isObject()) fail(path, "an object", v);
        for (const auto& [name, item] : v.items()) {
            if (!key(name)) throw std::runtime_error(member(path, name) + ": expects " + keyExpectation);
            value(item, member(path, name));
        }
    };
}

// Offset -> byte, for a window of `size` bytes.
Check byteMap(size_t size) {
    return mapOf([size](const std::string& key) { return numberOrHex(Json(key)).value_or(SIZE_MAX) < size; },
                 "an offset from 0 to " + hexText(size - 1), hexOrWhole(0xFF));
}

// Hex text, or an array of hex text.
Check image() { return either({text(), arrayOf(text())}, "a string or an array of strings of hex"); }

constexpr uint64_t kU32 = 0xFFFFFFFFu;

Check faultsOf(std::vector<Field> fields) { return object(std::move(fields)); }

Check device() {
    return object({{"adapter", whole(kU32)},
                   {"instanceId", text()},
                   {"driverKey", text()},
                   {"componentId", text()},
                   {"present", boolean()},
                   {"hidden", boolean()},
                   {"disabled", boolean()},
                   {"restartMs", whole(kU32)},
                   {"faults", faultsOf({{"nodeStatus", boolean()}, {"refusePropertyChange", boolean()}})}});
}

Check ipSettings() {
    return object({{"address", address()},
                   {"mask", address()},
                   {"gateway", address()},
                   {"dhcp", boolean()},
                   {"dns", either({address(), choice({""})}, "a dotted IPv4 address or \"\"")}});
}

Check statistics() {
    static constexpr const char* kCounters[] = {
        "rxBytes",           "txBytes",           "rxFrames",          "txFrames", "rxMulticastFrames",
        "rxBroadcastFrames", "txMulticastFrames", "txBroadcastFrames", "rxErrors", "txErrors",
        "rxDiscards",        "txDiscards",        "txOneCollisions"};
    std::vector<Field> start;
    std::vector<Field> rates;
    for (const char* counter : kCounters) {
        start.push_back({counter, whole(UINT64_MAX)});
        rates.push_back({std::string(counter) + "PerSecond", whole(UINT64_MAX)});
    }
    rates.push_back({"start", object(std::move(start))});
    return object(std::move(rates));
}

// Mbit/s as the driver reports them: 10, 100 or 1000 for the family, any other a foreign or odd
// driver may report, up to what OID_GEN_LINK_SPEED (units of 100 bit/s in 32 bits) can carry.
Check linkSpeed() { return whole(429496); }

Check adapter() {
    return object({
        {"guid", text(), true},
        {"description", text()},
        {"mac", mac()},
        {"bound", boolean()},
        {"present", boolean()},
        {"pci", object({{"vendor", hexOrWhole(0xFFFF)},
                        {"device", hexOrWhole(0xFFFF)},
                        {"subVendor", hexOrWhole(0xFFFF)},
                        {"subSystem", hexOrWhole(0xFFFF)},
                        {"revision", hexOrWhole(0xFF)},
                        {"bus", hexOrWhole(kU32)},
                        {"slot", hexOrWhole(kU32)},
                        {"io", hexOrWhole(kU32)},
                        {"memory", hexOrWhole(kU32)},
                        {"irq", hexOrWhole(kU32)},
                        {"express", boolean()},
                        {"config", byteMap(1024)}})},
        {"link", object({{"up", boolean()},
                         {"speed", linkSpeed()},
                         {"duplex", choice({"full", "half", "unknown"})},
                         {"settleMs", whole(kU32)}})},
        {"phy", object({{"mdix", boolean()}})},
        {"cable",
         object(
             {{"length", metres()},
              {"pairs",
               arrayOf(object({{"state", choice({"normal", "open", "short", "fault"})}, {"distance", metres()}}), 4)},
              {"testMs", whole(kU32)}})},
        {"registers", byteMap(1024)},
        {"images", object({{"registers", image()}, {"pciConfig", image()}, {"phy", arrayOf(image(), 4)}})},
        {"ip", ipSettings()},
        {"connectionName", either({text(),
                                   [](const Json& v, const std::string& path) {
                                       if (!v.isBool() || v.asBool(true)) fail(path, "false", v);
                                   }},
                                  "a string or false")},
        {"ndis", object({{"hardwareStatus",
                          either({choice({"ready", "initializing", "reset", "closing", "notReady"}), whole(kU32)},
                                 "\"ready\", \"initializing\", \"reset\", \"closing\", \"notReady\" or a number")},
                         {"vendorDescription", text()}})},
        {"statistics", statistics()},
        {"device", device()},
        {"faults", faultsOf({{"openDeviceError", whole(kU32)},
                             {"busy", boolean()},
                             {"noPrivateCommands", boolean()},
                             {"failingOids", arrayOf(hexOrWhole(kU32))},
                             {"bindingNameUnterminated", boolean()},
                             {"bindingNameOffset", whole(kU32)},
                             {"pairTestNeverCompletes", arrayOf(whole(3))},
                             {"linkNeverReturns", boolean()},
                             {"phyWriteError", whole(kU32)},
                             {"lostFrames", whole(UINT64_MAX)},
                             {"foreignFrames", whole(kU32)},
                             {"foreignFrameGapMs", whole(kU32)},
                             {"frameStream", boolean()},
                             {"writePending", boolean()},
                             {"writeError", whole(kU32)},
                             {"loopbackFrameLimit", hexOrWhole(kU32)},
                             {"macRegisterTestAnswer", hexOrWhole(kU32)},
                             {"eepromTestAnswer", hexOrWhole(kU32)},
                             {"noInterrupt", boolean()},
                             {"eepromErased", boolean()}})},
        {"supportedOids", arrayOf(hexOrWhole(kU32))},
        {"bindings", arrayOf(object({{"component", text(), true}, {"path", text()}, {"bound", boolean()}}))},
        {"frames", object({{"filter", hexOrWhole(kU32)},
                           {"loopbackPlug", boolean()},
                           {"loopbackLatencyMs", whole(kU32)},
                           {"queueLimit", whole(kU32)},
                           {"queued", whole(kU32)}})},
        {"eeprom", object({{"words", arrayOf(hexOrWhole(0xFFFF), 256)}})},
        {"wakeupPatterns", object({{"testLength", hexOrWhole(kU32)}})},
        {"vlans",
         arrayOf(object(
             {{"id", whole(4094, 1), true},
              {"connectionName", text()},
              {"guid", text()},
              {"ip",
               object({{"address", address()}, {"mask", address()}, {"gateway", address()}, {"dhcp", boolean()}})}}))},
        {"vlanSupport", boolean()},
        {"vlanId", whole(kU32)},
    });
}

Check tool(std::vector<Field> faults) {
    return object({{"delayMs", whole(kU32)}, {"faults", faultsOf(std::move(faults))}});
}

Check machine() {
    return object({
        {"name", text()},
        {"os",
         object({{"platform", choice({"nt", "9x", "windows", "win32s"})},
                 {"major", whole(kU32)},
                 {"minor", whole(kU32)},
                 {"build", whole(kU32)},
                 {"servicePack", text()},
                 {"wow64", boolean()},
                 {"hasIsWow64Process", boolean()},
                 {"faults",
                  faultsOf({{"versionEx", boolean()}, {"version", boolean()}, {"disableRedirection", boolean()}})}})},
        {"protocolDriver", object({{"installed", boolean()},
                                   {"running", boolean()},
                                   {"faults", faultsOf({{"openError", whole(kU32)},
                                                        {"startError", whole(kU32)},
                                                        {"bindWaitError", whole(kU32)},
                                                        {"enumerationError", whole(kU32)},
                                                        {"enumerationErrorAt", whole(kU32)}})}})},
        {"adapters", arrayOf(adapter())},
        {"wire", object({{"peers", arrayOf(object({{"mac", mac(), true},
                                                   {"ip", address()},
                                                   {"name", text()},
                                                   {"asleep", boolean()},
                                                   {"answersTestFrames", boolean()},
                                                   {"replyDelayMs", whole(kU32)}}))}})},
        {"devices", arrayOf(device())},
        {"services", mapOf([](const std::string& name) { return !name.empty(); }, "a service name",
                           object({{"installed", boolean()},
                                   {"running", boolean()},
                                   {"driverFile", text()},
                                   {"faults", faultsOf({{"startError", whole(kU32)}})}}))},
        {"tools", object({{"tvxbind", tool({{"neverCompletes", boolean()},
                                            {"stuckBindings", boolean()},
                                            {"noStateFile", boolean()},
                                            {"extraListLines", arrayOf(text())}})},
                          {"nicctlv6", tool({{"neverCompletes", boolean()}})},
                          {"cmd", tool({})}})},
        {"ipHelper", object({{"faults", faultsOf({{"error", whole(kU32)}})}})},
        {"vlanInstall", object({{"delayMs", whole(kU32)},
                                {"faults", faultsOf({{"fails", boolean()}, {"neverCompletes", boolean()}})}})},
    });
}

}  // namespace

void checkMachineJson(const Json& config) {
    static const Check kMachine = machine();
    kMachine(config, "");
}

}  // namespace kv::sim
