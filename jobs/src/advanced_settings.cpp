#include "kv/jobs/advanced_settings.h"

#include <optional>

#include "kelvalib.h"
#include "kv/jobs/library_text.h"
#include "kv/jobs/registry_text.h"
#include "kv/jobs/text_layout.h"
#include "kv/platform/system.h"

namespace kv::jobs {

namespace {

std::string settingKeyPath(const std::string& name) { return std::string(kParamsKey) + "\\" + name; }

int kindOf(const std::string& type) {
    if (sameLetters(type, "enum")) return CDrvParam::kEnum;
    if (sameLetters(type, "int") || sameLetters(type, "long")) return CDrvParam::kNumber;
    if (sameLetters(type, "edit")) return CDrvParam::kText;
    return CDrvParam::kOther;
}

// A string value as the registry stores it: the text with its terminating zero.
uint32_t setText(platform::RegKeyHandle key, std::string_view name, const std::string& text) {
    return platform::registry().setValueA(key, name, platform::regtype::kSz, text.c_str(),
                                          static_cast<uint32_t>(text.size() + 1));
}

}  // namespace

bool isWindows98Family() {
    platform::OsVersion version;
    return platform::system().version(&version) && version.platformId == platform::kPlatformWindows &&
           version.majorVersion == 4 && version.minorVersion > 0;
}

CDrvParam CDrvParam::load(const std::string& name) {
    CDrvParam param;
    param.Name = name;
    param.loadDescription();
    if (param.Kind == kEnum) param.loadEnumValues();
    if (param.Kind == kNumber) param.loadRange();
    if (param.Kind != kOther) param.loadValue();
    return param;
}

void CDrvParam::loadDescription() {
    const platform::RegKey key = openDriverKey(settingKeyPath(Name), false);
    if (!key.valid()) return;
    if (const auto type = readRegistryText(key.get(), "type")) Kind = kindOf(*type);
    if (auto desc = readRegistryText(key.get(), "ParamDesc")) Desc = std::move(*desc);
    if (const auto optional = readRegistryText(key.get(), "Optional"))
        if (scanDecimal(*optional) == 1) Optional = 1;
}

void CDrvParam::loadEnumValues() {
    const platform::RegKey key = openDriverKey(settingKeyPath(Name) + "\\enum", false);
    if (!key.valid()) return;
    for (uint32_t index = 0;; ++index) {
        auto entry = valueAt(key.get(), index);
        if (!entry) break;
        EnumValues.push_back(std::move(entry->first));
        EnumDescs.push_back(std::move(entry->second));
    }
}

void CDrvParam::loadRange() {
    const platform::RegKey key = openDriverKey(settingKeyPath(Name), false);
    if (!key.valid()) return;
    if (const auto text = readRegistryText(key.get(), "Min"))
        if (const auto min = scanDecimal(*text)) Min = *min;
    if (const auto text = readRegistryText(key.get(), "Max"))
        if (const auto max = scanDecimal(*text)) Max = *max;
}

void CDrvParam::loadValue() {
    const platform::RegKey driverKey = openDriverKey({}, false);
    if (!driverKey.valid()) return;
    const auto value = readRegistryText(driverKey.get(), Name);
    if (!value) {
        if (Optional == 1) NotPresent = 1;
        return;
    }
    switch (Kind) {
        case kEnum:
            for (size_t i = 0; i < EnumValues.size(); ++i) {
                if (EnumValues[i] == *value) {
                    EnumIndex = static_cast<int>(i);
                    break;
                }
            }
            break;
        case kNumber:
            // A value outside the described range is not taken; without "Min" and "Max" the range
            // is empty, so none is.
            if (const auto number = scanDecimal(*value); number && Min <= *number && *number <= Max) Value = *number;
            break;
        case kText:
            Text = *value;
            break;
        default:
            break;
    }
}

std::string CDrvParam::valueText() const {
    switch (Kind) {
        case kEnum:
            if (EnumIndex < 0 || static_cast<size_t>(EnumIndex) >= EnumValues.size()) return {};
            return EnumValues[static_cast<size_t>(EnumIndex)];
        case kNumber:
            return std::to_string(Value);
        case kText:
            return Text;
        default:
            return {};
    }
}

bool CDrvParam::write(platform::RegKeyHandle driverKey, platform::RegKeyHandle settingKey, bool windows98Family) const {
    if (!driverKey || (windows98Family && !settingKey)) return false;
    if (Optional == 1 && NotPresent == 1) {
        if (platform::registry().deleteValueA(driverKey, Name) != platform::err::kSuccess) return false;
        return !windows98Family || setText(settingKey, {}, std::string()) == platform::err::kSuccess;
    }
    const std::string text = valueText();
    if (text.empty()) return false;
    if (setText(driverKey, Name, text) != platform::err::kSuccess) return false;
    return !windows98Family || setText(settingKey, {}, text) == platform::err::kSuccess;
}

std::vector<CDrvParam> loadDriverSettings() {
    std::vector<CDrvParam> settings;
    const platform::RegKey params = openDriverKey(kParamsKey, false);
    if (!params.valid()) return settings;
    for (uint32_t index = 0;; ++index) {
        const auto name = subKeyName(params.get(), index);
        if (!name) break;
        settings.push_back(CDrvParam::load(*name));
    }
    return settings;
}

std::optional<std::vector<SettingWrite>> writeSettingsAndReload(
    std::span<const CDrvParam> settings, const std::function<void(const CDrvParam&)>& settingKeyNotWritable) {
    std::vector<SettingWrite> writes;
    {
        const platform::RegKey driverKey = openDriverKey({}, true);
        if (!driverKey.valid()) return std::nullopt;
        const bool windows98Family = isWindows98Family();
        for (const CDrvParam& setting : settings) {
            const platform::RegKey settingKey = openDriverKey(settingKeyPath(setting.Name), true);
            if (!settingKey.valid()) {
                if (settingKeyNotWritable) settingKeyNotWritable(setting);
                writes.push_back(SettingWrite::KeyNotWritable);
                continue;
            }
            writes.push_back(setting.write(driverKey.get(), settingKey.get(), windows98Family)
                                 ? SettingWrite::Written
                                 : SettingWrite::NotWritten);
        }
    }
    API_ReloadMiniport();
    platform::clock().sleep(kReloadWaitMs);
    return writes;
}

}  // namespace kv::jobs
