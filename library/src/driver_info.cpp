// The miniport driver's description, version, date, provider and INF path from the adapter's
// driver key, and its binary names from the "SourceDisksFiles" section of that INF file.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "device_search.h"
#include "kelvalib.h"
#include "kv/platform/device_installer.h"
#include "notify.h"
#include "state.h"
#include "text_field.h"

using namespace kv;

namespace {

enum Field { kDriverDesc, kDriverVersion, kDriverDate, kProviderName, kInfPath, kFields };

struct ValueRead {
    const char16_t* name;
    const char* failure;
};

// In the order they are read; a failed read shows its message and leaves its field as it was.
constexpr ValueRead kValues[kFields] = {
    {u"DriverDesc", "API_GetDriverInfo: Cannot get DriverDesc for this device."},
    {u"DriverVersion", "API_GetDriverInfo: Cannot get DriverVersion for this device."},
    {u"DriverDate", "API_GetDriverInfo: Cannot get DriverDate for this device."},
    {u"ProviderName", "API_GetDriverInfo: Cannot get ProviderName for this device."},
    {u"InfPath", "API_GetDriverInfo: Cannot get InfPath for this device."},
};

// 259 UTF-16 characters and the terminator.
constexpr uint32_t kValueBytes = 518;
// A binary name of at most 259 characters and the terminator.
constexpr uint32_t kBinaryNameChars = 260;

struct DriverValues {
    std::array<std::optional<std::u16string>, kFields> values;
    std::vector<std::u16string> binaries;
};

// The keys (field 0) of the first lines of "SourceDisksFiles", at most maxNames of them; stops at
// the first that cannot be read. Empty when the INF or the section is missing.
std::vector<std::u16string> sourceDisksFiles(const std::u16string& infPath, size_t maxNames) {
    std::vector<std::u16string> names;
    auto inf = platform::deviceInstaller().openInf(infPath);
    platform::InfContext line;
    if (!inf || !inf->findFirstLine(u"SourceDisksFiles", &line)) return names;
    while (names.size() < maxNames) {
        std::u16string name;
        if (!inf->stringField(line, 0, &name, kBinaryNameChars)) break;
        names.push_back(std::move(name));
        if (!inf->findNextLine(line, &line)) break;
    }
    return names;
}

// The driver key's values and the INF's binary names of the current adapter; nothing when no
// present network device carries its GUID.
std::optional<DriverValues> readDriverValues(size_t maxBinaries) {
    auto device = lib::findAdapterDevice(lib::currentAdapterGuid(), lib::SearchMessages::OpenFail);
    if (!device) return std::nullopt;
    DriverValues out;
    for (size_t f = 0; f < kFields; ++f) {
        out.values[f] = lib::readStringValue(device->driverKey.get(), kValues[f].name, kValueBytes);
        if (!out.values[f]) lib::showMessage(kValues[f].failure);
    }
    // Without an INF path there is no INF to read: the binary names are cleared.
    if (out.values[kInfPath]) out.binaries = sourceDisksFiles(*out.values[kInfPath], maxBinaries);
    return out;
}

template <typename Record>
void putValues(Record* info, const DriverValues& v) {
    auto put = [&](auto& field, Field f) {
        if (v.values[f]) lib::putText(field, *v.values[f]);
    };
    put(info->DriverDesc, kDriverDesc);
    put(info->DriverVersion, kDriverVersion);
    put(info->DriverDate, kDriverDate);
    put(info->ProviderName, kProviderName);
    put(info->InfPath, kInfPath);
}

}  // namespace

KV_API int API_GetDriverInfo_W(DriverInfo_W* info) {
    if (!info) return 1;
    const auto values = readDriverValues(1);
    if (!values) return 1;
    putValues(info, *values);
    lib::clearText(info->BinaryName);
    if (!values->binaries.empty()) lib::putText(info->BinaryName, values->binaries.front());
    return 1;
}

KV_API int API_GetDriverInfo_A(DriverInfo_A* info) {
    if (!info) return 1;
    const auto values = readDriverValues(KV_BINARY_SLOTS);
    if (!values) return 1;
    putValues(info, *values);
    uint32_t count = 0;
    for (auto& slot : info->BinaryName) lib::clearText(slot);
    for (const auto& name : values->binaries)
        if (lib::putText(info->BinaryName[count], name)) ++count;
    info->BinaryCount = count;
    return 1;
}
