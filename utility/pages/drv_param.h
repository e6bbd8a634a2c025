// One advanced setting of the network driver, as the driver's installation describes it under
// "Ndi\params\<name>" and as the driver key holds its value under <name>.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "kv/platform/registry.h"

namespace kv::diag {

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

}  // namespace kv::diag
