// The advanced settings as people and scripts read them.
#include "kv/jobs/advanced_settings.h"
#include "kv/jobs/text_layout.h"
#include "kv/text.h"

namespace kv::jobs {

namespace {

std::string utf8(const std::string& ansi) { return utf16ToUtf8(ansiToUtf16(ansi)); }

}  // namespace

std::string_view settingKindName(int kind) {
    switch (kind) {
        case CDrvParam::kEnum:
            return "enum";
        case CDrvParam::kNumber:
            return "number";
        case CDrvParam::kText:
            return "text";
        default:
            return "other";
    }
}

std::optional<std::string> settingValueText(const CDrvParam& setting) {
    if (setting.Optional && setting.NotPresent) return std::string("Not Present");
    switch (setting.Kind) {
        case CDrvParam::kEnum:
            if (setting.EnumIndex < 0 || static_cast<size_t>(setting.EnumIndex) >= setting.EnumDescs.size())
                return std::nullopt;
            return utf8(setting.EnumDescs[static_cast<size_t>(setting.EnumIndex)]);
        case CDrvParam::kNumber:
            return std::to_string(setting.Value);
        case CDrvParam::kText:
            return utf8(setting.Text);
        default:
            return std::nullopt;
    }
}

std::string settingChoicesText(const CDrvParam& setting) {
    std::string text;
    switch (setting.Kind) {
        case CDrvParam::kEnum:
            for (size_t i = 0; i < setting.EnumValues.size() && i < setting.EnumDescs.size(); ++i)
                text += (i ? ", " : "") + utf8(setting.EnumDescs[i]) + " (" + utf8(setting.EnumValues[i]) + ")";
            break;
        case CDrvParam::kNumber:
            text = setting.Min <= setting.Max ? std::to_string(setting.Min) + " to " + std::to_string(setting.Max)
                                              : std::string("no number (the driver gives no range)");
            break;
        case CDrvParam::kText:
            text = "text (upper case)";
            break;
        default:
            text = "nothing (the driver gives no type)";
            break;
    }
    if (setting.Optional) text += ", or Not Present";
    return text;
}

std::string driverSettingsText(std::span<const CDrvParam> settings) {
    if (settings.empty()) return "  The driver describes no advanced settings.\n";
    std::vector<std::vector<std::string>> rows = {{"Setting", "Name", "Value", "Choices"}};
    for (const CDrvParam& setting : settings)
        rows.push_back({utf8(setting.Desc), utf8(setting.Name), settingValueText(setting).value_or("(none)"),
                        settingChoicesText(setting)});
    return tableText(rows, 2);
}

}  // namespace kv::jobs
