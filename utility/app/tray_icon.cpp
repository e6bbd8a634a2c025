#include "app/tray_icon.h"

#include <QImage>
#include <cstring>
#include <vector>

#include "app/window_protocol.h"
#include "resources/images.h"

namespace kv::diag {

namespace {

constexpr int kIconPixels = 16;

}  // namespace

TrayIcon::~TrayIcon() {
    for (const auto& [id, handle] : handles_) platform::notifyArea().destroyIcon(handle);
}

platform::IconHandle TrayIcon::handleOf(int iconId) {
    if (auto found = handles_.find(iconId); found != handles_.end()) return found->second;
    const QImage image = loadIcon(iconId)
                             .pixmap(kIconPixels, kIconPixels)
                             .toImage()
                             .scaled(kIconPixels, kIconPixels)
                             .convertToFormat(QImage::Format_ARGB32);
    std::vector<uint32_t> argb(kIconPixels * kIconPixels);
    for (int y = 0; y < kIconPixels; ++y) {
        std::memcpy(argb.data() + y * kIconPixels, image.constScanLine(y), kIconPixels * sizeof(uint32_t));
    }
    const platform::IconHandle handle =
        platform::notifyArea().createIcon(static_cast<uint32_t>(iconId), kIconPixels, kIconPixels, argb);
    if (handle) handles_[iconId] = handle;
    return handle;
}

platform::NotifyIconRecord TrayIcon::record(int iconId, uint32_t validParts) {
    platform::NotifyIconRecord r;
    r.hWnd = owner_;
    r.uID = kTrayIconUid;
    r.uFlags = validParts;
    r.uCallbackMessage = kProtocolMessage;
    r.hIcon = handleOf(iconId);
    std::strncpy(r.szTip, kTrayTip, sizeof r.szTip - 1);
    return r;
}

void TrayIcon::add(int iconId) {
    using namespace platform::nif;
    platform::notifyArea().notify(platform::NotifyAction::Add, record(iconId, kMessage | kIcon | kTip));
}

void TrayIcon::remove(int iconId) { platform::notifyArea().notify(platform::NotifyAction::Delete, record(iconId, 0)); }

void TrayIcon::modify(int iconId) {
    platform::notifyArea().notify(platform::NotifyAction::Modify, record(iconId, platform::nif::kIcon));
}

}  // namespace kv::diag
