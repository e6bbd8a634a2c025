// The tray icon's animation: a mouse move over the icon plays the five frames 301 to 305, 50 ms
// apart (timer::kTrayFrame), keeps the last frame for 20 ticks of 50 ms (timer::kTrayHold, stretched to at least 5
// ticks by a further move) and returns to the program icon 128.
#pragma once

#include <cstdint>

#include "app/sheet_timers.h"
#include "resources/resource_ids.h"

namespace kv::diag {

namespace trayicon {
inline constexpr int kProgramIcon = res::kIconProgram;
inline constexpr int kFirstFrame = res::kIconTrayFirstFrame;
inline constexpr int kLastFrame = res::kIconTrayLastFrame;
inline constexpr uint32_t kTickMs = 50;
inline constexpr int kHoldTicks = 20;
inline constexpr int kStretchTicks = 5;
}  // namespace trayicon

// What the animation drives: the window's timers and the tray icon's image.
class TrayAnimationHost {
public:
    virtual ~TrayAnimationHost() = default;
    virtual void startTrayTimer(int id, uint32_t periodMs) = 0;
    virtual void stopTrayTimer(int id) = 0;
    // The tray icon is there to be changed.
    virtual bool trayIconShown() const = 0;
    // Shows that icon in the tray (a modify of the icon part only).
    virtual void modifyTrayIcon(int iconId) = 0;
};

class TrayAnimation {
public:
    explicit TrayAnimation(TrayAnimationHost& host) : host_(host) {}

    void mouseMove();
    void frameTick();  // timer::kTrayFrame
    void holdTick();   // timer::kTrayHold
    // The tray icon was added or removed: the record starts again from the program icon.
    void reset() { iconId_ = trayicon::kProgramIcon; }

    int iconId() const { return iconId_; }
    bool animating() const { return animating_; }
    int holdTicks() const { return holdTicks_; }

private:
    // Changes the image only while the tray icon is shown.
    void show(int iconId);

    TrayAnimationHost& host_;
    int iconId_ = trayicon::kProgramIcon;
    bool animating_ = false;
    int holdTicks_ = 0;
};

}  // namespace kv::diag
