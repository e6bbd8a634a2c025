// The service manager of the simulated machine. "TvNdPt60" is the protocol driver of
// machine.json's "protocolDriver"; other services come from its "services" object. Starts are
// traced as "service start <name> <ok|err=n>"; a handle opened without the start right may not
// start its service.
#include "kv/platform/services.h"

#include <string>

#include "kv/sim/host.h"
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
        if (!installed(call.host, n)) return fail(err::kServiceDoesNotExist);
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
        const uint32_t result = start(call.host, s->name);
        call.host.trace().add("service start " + s->name + (result ? " err=" + std::to_string(result) : " ok"));
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
    static bool isProtocolDriver(const std::string& name) { return equalsIgnoreCase(utf8ToUtf16(name), u"TvNdPt60"); }

    static const sim::Json& entry(Host& host, const std::string& name) {
        for (const auto& [key, value] : host.machine().config["services"].items())
            if (equalsIgnoreCase(utf8ToUtf16(key), utf8ToUtf16(name))) return value;
        static const sim::Json none;
        return none;
    }

    static bool installed(Host& host, const std::string& name) {
        if (isProtocolDriver(name)) return host.machine().protocolDriver.installed;
        const sim::Json& e = entry(host, name);
        return e.isObject() && e["installed"].asBool(true);
    }

    static uint32_t start(Host& host, const std::string& name) {
        if (isProtocolDriver(name)) {
            auto& pd = host.machine().protocolDriver;
            if (pd.startError) return pd.startError;
            if (pd.running) return err::kServiceAlreadyRunning;
            pd.running = true;
            return err::kSuccess;
        }
        const sim::Json& e = entry(host, name);
        if (const uint64_t error = e["faults"]["startError"].asUInt(0)) return static_cast<uint32_t>(error);
        auto& running = host.machine().startedServices;
        for (const auto& r : running)
            if (r == name) return err::kServiceAlreadyRunning;
        if (e["running"].asBool(false)) return err::kServiceAlreadyRunning;
        running.push_back(name);
        return err::kSuccess;
    }

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
