// The notification area of the taskbar (the tray): icons that a program adds, changes and
// removes with the shell's notification record, and that report the pointer's actions on them to
// their owner window as a message.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "kv/platform/window_messages.h"

namespace kv::platform {

// An icon handle (an HICON's 32-bit value on Windows); 0 is none.
using IconHandle = uint32_t;

// The actions of Shell_NotifyIconA.
enum class NotifyAction : uint32_t { Add = 0, Modify = 1, Delete = 2 };

// The parts of a record that are valid (uFlags).
namespace nif {
inline constexpr uint32_t kMessage = 0x1;
inline constexpr uint32_t kIcon = 0x2;
inline constexpr uint32_t kTip = 0x4;
}  // namespace nif

// The pointer's actions an icon reports to its owner as the lParam of its callback message.
namespace pointer {
inline constexpr uint32_t kMouseMove = 0x0200;
inline constexpr uint32_t kLeftDoubleClick = 0x0203;
inline constexpr uint32_t kRightButtonDown = 0x0204;
}  // namespace pointer

// The shell's notification record in its 8-bit form, as a 32-bit program of the Windows 2000/XP
// shell builds it: 488 bytes, window and icon handles as 32-bit values.
#pragma pack(push, 1)
struct NotifyIconRecord {
    uint32_t cbSize = sizeof(NotifyIconRecord);
    uint32_t hWnd = 0;              // the owner window, which receives the callback message
    uint32_t uID = 0;               // the icon's id among the owner's icons
    uint32_t uFlags = 0;            // nif:: parts that are valid
    uint32_t uCallbackMessage = 0;  // the message the pointer's actions come as
    uint32_t hIcon = 0;
    char szTip[128] = {};  // the tooltip, zero-terminated
    uint32_t dwState = 0;
    uint32_t dwStateMask = 0;
    char szInfo[256] = {};  // balloon text (unused by the suite)
    uint32_t uTimeoutOrVersion = 0;
    char szInfoTitle[64] = {};
    uint32_t dwInfoFlags = 0;
};
#pragma pack(pop)
static_assert(sizeof(NotifyIconRecord) == 488);
static_assert(offsetof(NotifyIconRecord, hWnd) == 4);
static_assert(offsetof(NotifyIconRecord, uID) == 8);
static_assert(offsetof(NotifyIconRecord, uFlags) == 12);
static_assert(offsetof(NotifyIconRecord, uCallbackMessage) == 16);
static_assert(offsetof(NotifyIconRecord, hIcon) == 20);
static_assert(offsetof(NotifyIconRecord, szTip) == 24);
static_assert(offsetof(NotifyIconRecord, dwState) == 152);
static_assert(offsetof(NotifyIconRecord, szInfo) == 160);
static_assert(offsetof(NotifyIconRecord, uTimeoutOrVersion) == 416);
static_assert(offsetof(NotifyIconRecord, szInfoTitle) == 420);
static_assert(offsetof(NotifyIconRecord, dwInfoFlags) == 484);

// An icon as the notification area holds it.
struct NotifyIcon {
    WindowHandle window = 0;
    uint32_t id = 0;
    uint32_t callbackMessage = 0;
    uint32_t iconResource = 0;  // the resource id the icon was made for (createIcon)
    std::string tip;
};

// The record's tip up to its terminator; a tip that fills the field counts with its first 127
// characters, as the shell takes it.
inline std::string notifyTip(const NotifyIconRecord& record) {
    return std::string(record.szTip, strnlen(record.szTip, sizeof(record.szTip) - 1));
}

// How the shell applies a record to the icons of the notification area: an add needs the icon
// absent, a change or a removal present, and only the valid parts change. `iconResource` is the
// resource id the record's icon handle was made for. Returns the icon after the change (as it
// was, for a removal) in *changed; false, with the list unchanged, when the call is refused.
inline bool applyNotifyRecord(std::vector<NotifyIcon>& icons, NotifyAction action, const NotifyIconRecord& record,
                              uint32_t iconResource, NotifyIcon* changed) {
    const auto it = std::find_if(icons.begin(), icons.end(),
                                 [&](const NotifyIcon& i) { return i.window == record.hWnd && i.id == record.uID; });
    const bool present = it != icons.end();
    if (present == (action == NotifyAction::Add)) return false;
    if (action == NotifyAction::Delete) {
        *changed = *it;
        icons.erase(it);
        return true;
    }
    NotifyIcon& icon = present ? *it : icons.emplace_back(NotifyIcon{record.hWnd, record.uID, 0, 0, {}});
    if (record.uFlags & nif::kMessage) icon.callbackMessage = record.uCallbackMessage;
    if (record.uFlags & nif::kIcon) icon.iconResource = iconResource;
    if (record.uFlags & nif::kTip) icon.tip = notifyTip(record);
    *changed = icon;
    return true;
}

// Keeps an observation going; destroying it ends it.
class NotifyObservation {
public:
    virtual ~NotifyObservation() = default;
};

using NotifyObserver = std::function<void(NotifyAction action, const NotifyIcon& icon)>;

class NotifyArea {
public:
    virtual ~NotifyArea() = default;

    // CreateIconIndirect: an icon of width x height pixels, 32-bit ARGB (0xAARRGGBB) row by row
    // from the top, made for the program's icon resource `resourceId`. 0 on failure.
    virtual IconHandle createIcon(uint32_t resourceId, uint32_t width, uint32_t height,
                                  std::span<const uint32_t> argb) = 0;
    // DestroyIcon.
    virtual bool destroyIcon(IconHandle icon) = 0;

    // Shell_NotifyIconA: adds, changes (the valid parts) or removes the record's icon.
    virtual bool notify(NotifyAction action, const NotifyIconRecord& record) = 0;

    // The icons this program has in the notification area now.
    virtual std::vector<NotifyIcon> icons() = 0;

    // What the shell does when the pointer acts on an icon: posts the icon's callback message to
    // its owner window, wParam the icon id, lParam the action (pointer::). For a tray that cannot
    // tell the shell itself (a toolkit's tray icon mirroring the simulated one, tests). False when
    // the icon is not there or has no callback message.
    virtual bool pointerAction(WindowHandle window, uint32_t id, uint32_t action) = 0;

    // Calls the observer after every successful change, on the changing thread, with the icon
    // after the change (as it was, for a removal). The simulated host's notification area has no
    // screen: a program shows it through this. On Windows the shell shows the icons and the
    // observer is never called.
    virtual std::unique_ptr<NotifyObservation> observe(NotifyObserver observer) = 0;
};

NotifyArea& notifyArea();

}  // namespace kv::platform
