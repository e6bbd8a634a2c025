#include "kv/sim/notify_area.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
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

// The tip up to its terminator; a tip that fills the field shows its first 127 characters, as
// the shell does.
std::string tipOf(const NotifyIconRecord& record) {
    const size_t length = strnlen(record.szTip, sizeof(record.szTip) - 1);
    return std::string(record.szTip, length);
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
    const auto it = std::find_if(icons_.begin(), icons_.end(),
                                 [&](const NotifyIcon& i) { return i.window == record.hWnd && i.id == record.uID; });
    const bool present = it != icons_.end();
    const bool accepted = knownRecordSize(record.cbSize) && record.hWnd != 0 &&
                          (action == NotifyAction::Add ? !present : present) &&
                          ((record.uFlags & platform::nif::kIcon) == 0 || iconResource != 0);
    trace.add("notify " + std::string(actionName(action)) + " size=" + std::to_string(record.cbSize) +
              " window=" + hex(record.hWnd) + " id=" + std::to_string(record.uID) + " flags=" + hex(record.uFlags) +
              " message=" + hex(record.uCallbackMessage) + " icon=" + std::to_string(iconResource) + " tip=\"" +
              Trace::escape(tipOf(record)) + "\" " + (accepted ? "ok" : "err"));
    if (!accepted) return std::nullopt;

    if (action == NotifyAction::Delete) {
        const NotifyIcon removed = *it;
        icons_.erase(it);
        return removed;
    }
    NotifyIcon& icon = present ? *it : icons_.emplace_back(NotifyIcon{record.hWnd, record.uID, 0, 0, {}});
    if (record.uFlags & platform::nif::kMessage) icon.callbackMessage = record.uCallbackMessage;
    if (record.uFlags & platform::nif::kIcon) icon.iconResource = iconResource;
    if (record.uFlags & platform::nif::kTip) icon.tip = tipOf(record);
    return icon;
}

void NotifyArea::reset() {
    icons_.clear();
    iconResources_.clear();
}

}  // namespace kv::sim
