#include "app/tray_animation.h"

namespace kv::diag {

using namespace trayicon;

void TrayAnimation::show(int iconId) {
    if (!host_.trayIconShown()) return;
    iconId_ = iconId;
    host_.modifyTrayIcon(iconId);
}

void TrayAnimation::mouseMove() {
    if (!animating_ && iconId_ == kProgramIcon) {
        host_.startTimer(kFrameTimer, kTickMs);
    } else if (iconId_ == kLastFrame && holdTicks_ < kStretchTicks) {
        holdTicks_ = kStretchTicks;
    }
}

void TrayAnimation::frameTick() {
    if (!animating_) {
        animating_ = true;
        show(kFirstFrame);
    } else if (iconId_ >= kFirstFrame && iconId_ < kLastFrame) {
        show(iconId_ + 1);
    } else if (iconId_ == kLastFrame) {
        animating_ = false;
        host_.stopTimer(kFrameTimer);
        holdTicks_ = kHoldTicks;
        host_.startTimer(kHoldTimer, kTickMs);
    } else {
        iconId_ = kProgramIcon;
        animating_ = false;
        holdTicks_ = 0;
        host_.stopTimer(kFrameTimer);
    }
}

void TrayAnimation::holdTick() {
    if (holdTicks_ > 0) --holdTicks_;
    if (holdTicks_ == 0) {
        show(kProgramIcon);
        host_.stopTimer(kHoldTimer);
    }
}

}  // namespace kv::diag
