// The service manager of the simulated machine (the services themselves are kv/sim/services.h).
// A handle opened without the start right may not start its service.
#include "kv/platform/services.h"

#include <string>

#include "kv/sim/host.h"
#include "kv/sim/services.h"
#include "kv/text.h"

namespace kv::platform {

namespace {

using sim::Host;

struct ServiceHandle {
    bool manager = false;
    std::string name;
    uint32_t access = 0;  // the rights the handle was opened with
};

class SimServiceManager : public ServiceManager {
public:
    NativeHandle openManager(uint32_t) override {
        Host::Call call(Host::get());
        return handles_.add(ServiceHandle{true, {}, 0});
    }

    NativeHandle openService(NativeHandle manager, std::u16string_view name, uint32_t access) override {
        Host::Call call(Host::get());
        const ServiceHandle* m = handles_.find(manager);
        if (!m || !m->manager) return fail(err::kInvalidHandle);
        const std::string n = utf16ToUtf8(name);
        if (!sim::serviceInstalled(call.host, n)) return fail(err::kServiceDoesNotExist);
        return handles_.add(ServiceHandle{false, n, access});
    }

    bool startService(NativeHandle service) override {
        Host::Call call(Host::get());
        const ServiceHandle* s = handles_.find(service);
        if (!s || s->manager) {
            Host::setLastError(err::kInvalidHandle);
            return false;
        }
        if ((s->access & svcaccess::kStart) == 0) {
            Host::setLastError(err::kAccessDenied);
            return false;
        }
        const uint32_t result = sim::startService(call.host, s->name);
        if (result) Host::setLastError(result);
        return result == 0;
    }

    bool closeHandle(NativeHandle handle) override {
        Host::Call call(Host::get());
        if (handles_.remove(handle)) return true;
        Host::setLastError(err::kInvalidHandle);
        return false;
    }

private:
    NativeHandle fail(uint32_t error) {
        Host::setLastError(error);
        return nullptr;
    }

    sim::HandleTable<ServiceHandle> handles_;
};

}  // namespace

ServiceManager& serviceManager() {
    static SimServiceManager instance;
    return instance;
}

}  // namespace kv::platform
