// The main window's message protocol: WM_USER+1 with wParam 0, the lParam telling what is asked.
// The tray icon's pointer actions arrive the same way.
#pragma once

#include <cstdint>

namespace kv::diag {

inline constexpr uint32_t kProtocolMessage = 0x0401;  // WM_USER + 1

namespace request {
inline constexpr intptr_t kTrayMouseMove = 0x0200;    // start or stretch the tray animation
inline constexpr intptr_t kTrayDoubleClick = 0x0203;  // toggle the window's visibility
inline constexpr intptr_t kTrayRightButton = 0x0204;  // the tray menu
inline constexpr intptr_t kShowWindow = 0x5678;       // a second instance at start-up
inline constexpr intptr_t kQuit = 0x9ABC;             // an outside program asks the utility to end
}  // namespace request

inline constexpr char kWindowCaption[] = "Tavrick - Ethernet Diagnostic Utility";

// A second start: when a main window with the caption runs, ask it to show itself and answer
// true; the caller then ends without touching anything else.
bool wakeRunningInstance();

}  // namespace kv::diag
