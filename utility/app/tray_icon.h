// The utility's icon in the notification area: the shell's notification record (488 bytes, id
// 9069, callback WM_USER+1, tip "Tavrick Diagnostic Utility") added, changed and removed for
// the main window.
#pragma once

#include <cstdint>
#include <map>

#include "kv/platform/notify_area.h"

namespace kv::diag {

inline constexpr uint32_t kTrayIconUid = 9069;
inline constexpr char kTrayTip[] = "Tavrick Diagnostic Utility";

class TrayIcon {
public:
    explicit TrayIcon(platform::WindowHandle owner) : owner_(owner) {}
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon with its message, image and tip.
    void add(int iconId);
    // Deletes it (no part of the record valid).
    void remove(int iconId);
    // Changes the image only.
    void modify(int iconId);

    // The record for that image with those parts valid.
    platform::NotifyIconRecord record(int iconId, uint32_t validParts);

private:
    platform::IconHandle handleOf(int iconId);

    platform::WindowHandle owner_;
    std::map<int, platform::IconHandle> handles_;  // made once per image, destroyed with the icon
};

}  // namespace kv::diag
