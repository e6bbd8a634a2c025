// The notification area of the simulated machine: the icons the running program has put there,
// and the icon handles it made for them. Every add, change and removal is traced as
// "notify <add|modify|delete> size=<n> window=<h> id=<n> flags=<f> message=<m> icon=<resource>
// tip=\"...\" <ok|err>"; icon is the resource id the record's icon handle was made for.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "kv/platform/notify_area.h"

namespace kv::sim {

class Trace;

class NotifyArea {
public:
    // The record sizes the shell accepts: its four record versions.
    static bool knownRecordSize(uint32_t size);

    platform::IconHandle createIcon(uint32_t resourceId);
    bool destroyIcon(platform::IconHandle icon);

    // Applies one Shell_NotifyIconA call and traces it. Returns the icon as it is after the call
    // (as it was, for a removal), or nothing when the shell refuses the call.
    std::optional<platform::NotifyIcon> apply(platform::NotifyAction action, const platform::NotifyIconRecord& record,
                                              Trace& trace);

    const std::vector<platform::NotifyIcon>& icons() const { return icons_; }
    const platform::NotifyIcon* find(platform::WindowHandle window, uint32_t id) const;

    void reset();

private:
    std::vector<platform::NotifyIcon> icons_;
    std::map<platform::IconHandle, uint32_t> iconResources_;  // icon handle -> resource id
    platform::IconHandle nextIcon_ = 0x00020000;
};

}  // namespace kv::sim
