// The notification area on the simulated host: the host's model holds the icons and traces every
// change; this side hands the changes to the program's observers, which show the area (it has no
// screen of its own), and posts the pointer's actions to the owner window over the desktop.
#include "kv/platform/notify_area.h"

#include <algorithm>
#include <mutex>
#include <optional>

#include "kv/platform/types.h"
#include "kv/sim/host.h"

namespace kv::platform {

namespace {

using sim::Host;

class SimNotifyArea;

class Observation : public NotifyObservation {
public:
    Observation(SimNotifyArea& area, std::shared_ptr<NotifyObserver> observer)
        : area_(area), observer_(std::move(observer)) {}
    ~Observation() override;

private:
    SimNotifyArea& area_;
    std::shared_ptr<NotifyObserver> observer_;
};

class SimNotifyArea : public NotifyArea {
public:
    IconHandle createIcon(uint32_t resourceId, uint32_t width, uint32_t height,
                          std::span<const uint32_t> argb) override {
        if (width == 0 || height == 0 || argb.size() < static_cast<size_t>(width) * height) {
            Host::setLastError(err::kInvalidParameter);
            return 0;
        }
        return Host::Call(Host::get()).host.notifyArea().createIcon(resourceId);
    }

    bool destroyIcon(IconHandle icon) override {
        if (Host::Call(Host::get()).host.notifyArea().destroyIcon(icon)) return true;
        Host::setLastError(err::kInvalidHandle);
        return false;
    }

    bool notify(NotifyAction action, const NotifyIconRecord& record) override {
        std::optional<NotifyIcon> icon;
        {
            Host::Call call(Host::get());
            icon = call.host.notifyArea().apply(action, record, call.host.trace());
        }
        if (!icon) return false;
        for (const auto& observer : observers()) (*observer)(action, *icon);
        return true;
    }

    std::vector<NotifyIcon> icons() override { return Host::Call(Host::get()).host.notifyArea().icons(); }

    bool pointerAction(WindowHandle window, uint32_t id, uint32_t action) override {
        uint32_t message = 0;
        {
            Host::Call call(Host::get());
            const NotifyIcon* icon = call.host.notifyArea().find(window, id);
            call.host.trace().add("notify pointer window=" + sim::Trace::hexNumber(window) +
                                  " id=" + std::to_string(id) + " action=" + sim::Trace::hexNumber(action) +
                                  (icon ? "" : " (no icon)"));
            if (icon) message = icon->callbackMessage;
        }
        return message != 0 && windowMessages().postMessage(window, message, id, static_cast<intptr_t>(action));
    }

    std::unique_ptr<NotifyObservation> observe(NotifyObserver observer) override {
        auto shared = std::make_shared<NotifyObserver>(std::move(observer));
        std::lock_guard lock(mutex_);
        observers_.push_back(shared);
        return std::make_unique<Observation>(*this, std::move(shared));
    }

    void forget(const std::shared_ptr<NotifyObserver>& observer) {
        std::lock_guard lock(mutex_);
        observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
    }

private:
    // A copy, so that an observer may end its observation while being called.
    std::vector<std::shared_ptr<NotifyObserver>> observers() {
        std::lock_guard lock(mutex_);
        return observers_;
    }

    std::mutex mutex_;
    std::vector<std::shared_ptr<NotifyObserver>> observers_;
};

Observation::~Observation() { area_.forget(observer_); }

}  // namespace

NotifyArea& notifyArea() {
    static SimNotifyArea instance;
    return instance;
}

}  // namespace kv::platform
