// The utility's two persistent settings, kept in the registry under HKEY_LOCAL_MACHINE (the
// tray icon, "SOFTWARE\Kelvadiag"; the launch at log-on, the Run key), and the installation
// folder the installer records there. Keys are opened, never created.
#pragma once

#include <string>
#include <string_view>

namespace kv::diag {

inline constexpr char kSettingsKey[] = "SOFTWARE\\Kelvadiag";
inline constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kShowTrayIconValue[] = "ShowTrayIcon";
inline constexpr char kAppDirValue[] = "AppDir";

struct Settings {
    int showTrayIcon = 0;   // the tray icon is shown; Close then hides the window
    int startUpLaunch = 0;  // the Run entry exists
    std::string appDir;     // the installation folder; empty when missing or without the program
};

// Reads both settings and the installation folder. A folder that is read becomes the current
// directory; it is kept only when "<AppDir>\<appName>.exe" exists there.
Settings loadSettings(std::string_view appName);

enum class ToggleOutcome { KeyMissing, SwitchedOn, SwitchedOff };

// Writes "1" or "0" (two bytes with the terminating zero) as "ShowTrayIcon" and flips the flag;
// nothing happens when the settings key cannot be opened.
ToggleOutcome toggleTrayIcon(Settings& settings);

// Writes "<AppDir>\<appName> /hw" as the Run entry or deletes it; nothing happens when the Run key
// cannot be opened. The flag follows the intent even when the write fails.
ToggleOutcome toggleStartUpLaunch(Settings& settings, std::string_view appName);

// The start-up launch item may be used: the Run key opens and AppDir is known.
bool startUpLaunchAvailable(const Settings& settings);

}  // namespace kv::diag
