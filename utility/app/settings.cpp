#include "app/settings.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "kv/platform/files.h"
#include "kv/platform/registry.h"
#include "kv/text.h"

namespace kv::diag {

namespace {

namespace reg = platform::regaccess;
using platform::RegKey;

// Values are read into a buffer of this many bytes.
constexpr uint32_t kValueBytes = 260;

RegKey openMachineKey(const char* path, uint32_t access) {
    RegKey key;
    platform::registry().openKeyA(platform::hiveKey(platform::Hive::LocalMachine), path, access, key.receive());
    return key;
}

// A string value, or false when it cannot be read. A value that fills the whole buffer without
// a terminator is cut at the buffer's end rather than read past it.
bool readString(const RegKey& key, const char* name, std::string* out) {
    std::array<char, kValueBytes> buffer{};
    uint32_t type = 0;
    uint32_t bytes = kValueBytes;
    if (platform::registry().queryValueA(key.get(), name, &type, buffer.data(), &bytes) != 0) return false;
    const size_t filled = std::min<size_t>(bytes, kValueBytes);
    const void* zero = std::memchr(buffer.data(), 0, filled);
    out->assign(buffer.data(), zero ? static_cast<const char*>(zero) - buffer.data() : filled);
    return true;
}

void writeString(const RegKey& key, const char* name, const std::string& value) {
    platform::registry().setValueA(key.get(), name, platform::regtype::kSz, value.c_str(),
                                   static_cast<uint32_t>(value.size() + 1));
}

bool scansNonZero(const std::string& text) {
    int number = 0;
    return std::sscanf(text.c_str(), "%d", &number) == 1 && number != 0;
}

}  // namespace

Settings loadSettings(std::string_view appName) {
    Settings settings;
    if (RegKey key = openMachineKey(kSettingsKey, reg::kRead); key.valid()) {
        std::string text;
        if (readString(key, kShowTrayIconValue, &text)) settings.showTrayIcon = scansNonZero(text) ? 1 : 0;
        const bool appDirRead = readString(key, kAppDirValue, &settings.appDir);
        if (appDirRead) platform::files().setCurrentDirectory(ansiToUtf16(settings.appDir));
        key.reset();
        const std::string program = settings.appDir + "\\" + std::string(appName) + ".exe";
        if (!platform::files().exists(ansiToUtf16(program))) settings.appDir.clear();
    }
    if (RegKey run = openMachineKey(kRunKey, reg::kRead); run.valid()) {
        std::string entry;
        settings.startUpLaunch = readString(run, std::string(appName).c_str(), &entry) ? 1 : 0;
    }
    return settings;
}

ToggleOutcome toggleTrayIcon(Settings& settings) {
    const RegKey key = openMachineKey(kSettingsKey, reg::kWrite);
    if (!key.valid()) return ToggleOutcome::KeyMissing;
    settings.showTrayIcon = settings.showTrayIcon ? 0 : 1;
    writeString(key, kShowTrayIconValue, settings.showTrayIcon ? "1" : "0");
    return settings.showTrayIcon ? ToggleOutcome::SwitchedOn : ToggleOutcome::SwitchedOff;
}

ToggleOutcome toggleStartUpLaunch(Settings& settings, std::string_view appName) {
    const std::string name(appName);
    const std::string command = settings.appDir + "\\" + name + " /hw";
    const RegKey run = openMachineKey(kRunKey, reg::kWrite);
    if (!run.valid()) return ToggleOutcome::KeyMissing;
    if (settings.startUpLaunch) {
        platform::registry().deleteValueA(run.get(), name);
        settings.startUpLaunch = 0;
        return ToggleOutcome::SwitchedOff;
    }
    writeString(run, name.c_str(), command);
    settings.startUpLaunch = 1;
    return ToggleOutcome::SwitchedOn;
}

bool startUpLaunchAvailable(const Settings& settings) {
    return !settings.appDir.empty() && openMachineKey(kRunKey, reg::kWrite).valid();
}

}  // namespace kv::diag
