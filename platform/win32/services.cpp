// The service control manager on the Windows API.
#include "kv/platform/services.h"

#include "win32_util.h"

namespace kv::platform {

namespace {

SC_HANDLE sc(NativeHandle handle) { return static_cast<SC_HANDLE>(handle); }

class Win32ServiceManager : public ServiceManager {
public:
    NativeHandle openManager(uint32_t access) override { return OpenSCManagerW(nullptr, nullptr, access); }

    NativeHandle openService(NativeHandle manager, std::u16string_view name, uint32_t access) override {
        return OpenServiceW(sc(manager), win32::wide(name).c_str(), access);
    }

    bool startService(NativeHandle service) override { return StartServiceW(sc(service), 0, nullptr) != FALSE; }

    bool closeHandle(NativeHandle handle) override { return CloseServiceHandle(sc(handle)) != FALSE; }
};

}  // namespace

ServiceManager& serviceManager() {
    static Win32ServiceManager instance;
    return instance;
}

}  // namespace kv::platform
