// The network driver's advanced settings, as the driver's installation describes each under
// "Ndi\params\<name>" and the driver key holds its value under <name>: read, and written back with
// the driver reloaded, as the Advanced Setting page's "Modify" does. Texts are the registry's 8-bit
// text, written back as they were read.
#pragma once

#include <climits>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kv/platform/registry.h"

namespace kv::jobs {

class CDrvParam {
public:
    enum Kind : int { kOther = 0, kEnum = 1, kNumber = 2, kText = 3 };

    // Reads the description and the current value of the setting `name` of the current adapter.
    static CDrvParam load(const std::string& name);

    // Writes the value into the driver key (and, on a Windows 98-family system, into the
    // setting's own key as its default value as well). A not-present optional setting deletes the
    // value. False when nothing could be written: no valid text for its kind, or a failed write.
    bool write(platform::RegKeyHandle driverKey, platform::RegKeyHandle settingKey, bool windows98Family) const;

    // The value text "Modify" writes; empty when there is none (an enumeration without a match,
    // a setting of another kind, an empty text).
    std::string valueText() const;

    std::string Name;
    std::string Desc = "Unknown";
    int Kind = kOther;
    int Optional = 0;
    int NotPresent = 0;
    std::vector<std::string> EnumValues;
    std::vector<std::string> EnumDescs;
    int EnumIndex = -1;
    int32_t Value = 0;
    int32_t Min = INT32_MAX;
    int32_t Max = INT32_MIN;
    std::string Text;

private:
    void loadDescription();
    void loadEnumValues();
    void loadRange();
    // Reads the value from the driver key: none when it is missing (which makes an optional
    // setting not present).
    void loadValue();
};

// True on Windows 95/98/Me with a minor version above 0 (98 and Me), where the settings' own keys
// carry the value as well.
bool isWindows98Family();

// The key under the driver key that describes the settings.
inline constexpr char kParamsKey[] = "Ndi\\params";

// Every setting "Ndi\params" describes, in the registry's order of its subkeys; none when the key
// does not open.
std::vector<CDrvParam> loadDriverSettings();

// The driver takes this long to come back after its reload.
inline constexpr uint32_t kReloadWaitMs = 3000;

// How each setting's write went.
enum class SettingWrite { Written, NotWritten, KeyNotWritable };

// "Modify": opens the driver key for writing and writes each setting through its own key opened
// for writing, then closes the driver key, reloads the driver and waits for it. A setting whose
// own key does not open is skipped, and `settingKeyNotWritable` told of it at once. Nothing, with
// nothing written and no reload, when the driver key does not open for writing.
std::optional<std::vector<SettingWrite>> writeSettingsAndReload(
    std::span<const CDrvParam> settings, const std::function<void(const CDrvParam&)>& settingKeyNotWritable = {});

// How a setting reads for people and scripts (UTF-8): its kind ("enum", "number", "text",
// "other"), its value as the page shows it (the enumeration's text, the number, the text; "Not
// Present"; none when it has no value), and what it may hold.
std::string_view settingKindName(int kind);
std::optional<std::string> settingValueText(const CDrvParam& setting);
std::string settingChoicesText(const CDrvParam& setting);
// The settings as a table: description, name, value, what it may hold.
std::string driverSettingsText(std::span<const CDrvParam> settings);

}  // namespace kv::jobs
