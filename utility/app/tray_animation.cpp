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
        host_.startTrayTimer(timer::kTrayFrame, kTickMs);
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
        host_.stopTrayTimer(timer::kTrayFrame);
        holdTicks_ = kHoldTicks;
        host_.startTrayTimer(timer::kTrayHold, kTickMs);
    } else {
        iconId_ = kProgramIcon;
        animating_ = false;
        holdTicks_ = 0;
        host_.stopTrayTimer(timer::kTrayFrame);
    }
}

void TrayAnimation::holdTick() {
    if (holdTicks_ > 0) --holdTicks_;
    if (holdTicks_ == 0) {
        show(kProgramIcon);
        host_.stopTrayTimer(timer::kTrayHold);
    }
}

}  // namespace kv::diag
