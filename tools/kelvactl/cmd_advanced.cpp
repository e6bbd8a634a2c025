// kelvactl advanced: the driver's advanced settings with the values each may hold; one of them; or
// one set, written and the driver reloaded as the Advanced Setting page's "Modify" does.
#include <algorithm>
#include <charconv>

#include "commands.h"
#include "failure.h"
#include "invocation.h"
#include "json_facts.h"
#include "kv/jobs/advanced_settings.h"
#include "kv/jobs/capabilities.h"
#include "kv/jobs/text_layout.h"
#include "kv/text.h"

namespace kv::kelvactl {

namespace {

using jobs::CDrvParam;
using jobs::sameLetters;

std::string utf8(const std::string& ansi) { return utf16ToUtf8(ansiToUtf16(ansi)); }
std::string ansi(const std::string& utf8Text) { return utf16ToAnsi(utf8ToUtf16(utf8Text)); }

// The setting a name (its registry name or its description, in any letter case) names.
CDrvParam& settingNamed(std::vector<CDrvParam>& settings, const std::string& name) {
    const std::string wanted = ansi(name);
    for (CDrvParam& setting : settings)
        if (setting.Name == wanted) return setting;
    for (CDrvParam& setting : settings)
        if (sameLetters(setting.Name, wanted) || sameLetters(setting.Desc, wanted)) return setting;
    std::string known;
    for (const CDrvParam& setting : settings) known += (known.empty() ? "" : ", ") + utf8(setting.Name);
    fail(exitcode::kUsage, "the driver has no setting \"" + name + "\"" +
                               (known.empty() ? std::string(": it describes none") : ": its settings are " + known));
}

// The value the user gave, taken into the setting as the page's controls would take it.
void takeValue(CDrvParam& setting, const std::string& value) {
    const std::string label = "\"" + utf8(setting.Desc) + "\"";
    const std::string choices = ": it takes " + jobs::settingChoicesText(setting);
    if (setting.Optional && sameLetters(value, "Not Present") && setting.Kind != CDrvParam::kEnum) {
        setting.NotPresent = 1;
        return;
    }
    setting.NotPresent = 0;
    const std::string text = ansi(value);
    switch (setting.Kind) {
        case CDrvParam::kEnum: {
            auto index = std::find(setting.EnumValues.begin(), setting.EnumValues.end(), text);
            if (index == setting.EnumValues.end()) {
                const auto desc = std::find_if(setting.EnumDescs.begin(), setting.EnumDescs.end(),
                                               [&](const std::string& d) { return sameLetters(d, text); });
                index = setting.EnumValues.begin() + (desc - setting.EnumDescs.begin());
            }
            if (index >= setting.EnumValues.end()) {
                if (setting.Optional && sameLetters(value, "Not Present")) return void(setting.NotPresent = 1);
                fail(exitcode::kUsage, label + " has no value \"" + value + "\"" + choices);
            }
            setting.EnumIndex = static_cast<int>(index - setting.EnumValues.begin());
            return;
        }
        case CDrvParam::kNumber: {
            int32_t number = 0;
            const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), number);
            if (ec != std::errc() || end != text.data() + text.size() || number < setting.Min || number > setting.Max)
                fail(exitcode::kUsage, label + " does not take \"" + value + "\"" + choices);
            setting.Value = number;
            return;
        }
        case CDrvParam::kText: {
            // The page's edit field turns every keystroke to upper case.
            std::string upper = text;
            for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
            if (upper.empty()) fail(exitcode::kUsage, label + " needs a text" + choices);
            setting.Text = upper;
            return;
        }
        default:
            fail(exitcode::kLibraryFailed,
                 label + " cannot be set: the driver's installation gives it no type the page has a control for");
    }
}

}  // namespace

int runAdvanced(Invocation& invocation) {
    const auto& arguments = invocation.line().positionals;
    const jobs::ListedAdapter adapter = invocation.adapterArgument(0);
    const jobs::AdapterRecords records = invocation.select(adapter);
    Invocation::require(adapter, records, jobs::pageset::kFamilyChips, "advanced settings",
                        "only the Tavrick family's drivers describe them");
    std::vector<CDrvParam> settings = jobs::loadDriverSettings();
    Output& out = invocation.output();
    if (arguments.size() == 1) {
        out.print(jobs::adapterHeading(adapter) + "\n" + jobs::driverSettingsText(settings));
        out.setDocument(
            JsonValue::object().set("adapter", adapterJson(adapter)).set("settings", settingsJson(settings)));
        return exitcode::kDone;
    }
    CDrvParam& setting = settingNamed(settings, arguments[1]);
    JsonValue change;
    if (arguments.size() == 3) {
        const std::optional<std::string> before = jobs::settingValueText(setting);
        takeValue(setting, arguments[2]);
        const size_t mark = invocation.messages().mark();
        const auto writes = jobs::writeSettingsAndReload(std::span(&setting, 1));
        if (!writes)
            fail(exitcode::kLibraryFailed, "the driver key of " + adapterName(adapter) +
                                               " does not open for writing: run kelvactl as an administrator");
        if (writes->front() == jobs::SettingWrite::KeyNotWritable)
            fail(exitcode::kLibraryFailed, "\"" + utf8(setting.Desc) + "\" was not written" +
                                               invocation.messages().saidSince(mark) +
                                               ": its description key does not open for writing; the driver has "
                                               "been reloaded all the same");
        const bool written = writes->front() == jobs::SettingWrite::Written;
        // What the driver key holds now, read back as the page reads it at its next activation.
        std::vector<CDrvParam> reread = jobs::loadDriverSettings();
        setting = settingNamed(reread, utf8(setting.Name));
        const std::optional<std::string> after = jobs::settingValueText(setting);
        out.print("\"" + utf8(setting.Desc) + "\" (" + utf8(setting.Name) + ") of " + adapterName(adapter) + ": " +
                  before.value_or("(none)") + " -> " + after.value_or("(none)") +
                  (written ? "; written, driver reloaded.\n"
                           : "; nothing to write (the value was absent already), "
                             "driver reloaded.\n"));
        change = JsonValue::object()
                     .set("from", orNull(before))
                     .set("to", orNull(after))
                     .set("written", written)
                     .set("reloaded", true);
    } else {
        out.print(jobs::adapterHeading(adapter) + "\n" + jobs::driverSettingsText(std::span(&setting, 1)));
    }
    out.setDocument(JsonValue::object()
                        .set("adapter", adapterJson(adapter))
                        .set("setting", settingJson(setting))
                        .set("change", std::move(change)));
    return exitcode::kDone;
}

}  // namespace kv::kelvactl
