#include "kv/sim/notify_area.h"

#include <cstdio>
#include <string>

#include "kv/sim/trace.h"

namespace kv::sim {

namespace {

using platform::NotifyAction;
using platform::NotifyIcon;
using platform::NotifyIconRecord;

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

const char* actionName(NotifyAction action) {
    switch (action) {
        case NotifyAction::Add:
            return "add";
        case NotifyAction::Modify:
            return "modify";
        case NotifyAction::Delete:
            return "delete";
    }
    return "unknown";
}

}  // namespace

bool NotifyArea::knownRecordSize(uint32_t size) { return size == 88 || size == 488 || size == 504 || size == 508; }

platform::IconHandle NotifyArea::createIcon(uint32_t resourceId) {
    const platform::IconHandle icon = nextIcon_;
    nextIcon_ += 2;
    iconResources_[icon] = resourceId;
    return icon;
}

bool NotifyArea::destroyIcon(platform::IconHandle icon) { return iconResources_.erase(icon) > 0; }

const NotifyIcon* NotifyArea::find(platform::WindowHandle window, uint32_t id) const {
    const auto it = std::find_if(icons_.begin(), icons_.end(),
                                 [&](const NotifyIcon& i) { return i.window == window && i.id == id; });
    return it == icons_.end() ? nullptr : &*it;
}

std::optional<NotifyIcon> NotifyArea::apply(NotifyAction action, const NotifyIconRecord& record, Trace& trace) {
    const auto resource = iconResources_.find(record.hIcon);
    const uint32_t iconResource = resource == iconResources_.end() ? 0 : resource->second;
    NotifyIcon changed;
    const bool accepted = knownRecordSize(record.cbSize) && record.hWnd != 0 &&
                          ((record.uFlags & platform::nif::kIcon) == 0 || iconResource != 0) &&
                          platform::applyNotifyRecord(icons_, action, record, iconResource, &changed);
    trace.add("notify " + std::string(actionName(action)) + " size=" + std::to_string(record.cbSize) +
              " window=" + hex(record.hWnd) + " id=" + std::to_string(record.uID) + " flags=" + hex(record.uFlags) +
              " message=" + hex(record.uCallbackMessage) + " icon=" + std::to_string(iconResource) + " tip=\"" +
              Trace::escape(platform::notifyTip(record)) + "\" " + (accepted ? "ok" : "err"));
    if (!accepted) return std::nullopt;
    return changed;
}

void NotifyArea::reset() {
    icons_.clear();
    iconResources_.clear();
}

}  // namespace kv::sim
