// The service control manager.
#pragma once

#include <cstdint>
#include <string_view>

#include "kv/platform/types.h"

namespace kv::platform {

namespace svcaccess {
inline constexpr uint32_t kManagerAllAccess = 0xF003F;
inline constexpr uint32_t kQueryStatus = 0x0004;
inline constexpr uint32_t kStart = 0x0010;
}  // namespace svcaccess

class ServiceManager {
public:
    virtual ~ServiceManager() = default;
    // OpenSCManagerW(local machine, active database); null on failure.
    virtual NativeHandle openManager(uint32_t access) = 0;
    // OpenServiceW; null on failure (ERROR_SERVICE_DOES_NOT_EXIST for a missing service).
    virtual NativeHandle openService(NativeHandle manager, std::u16string_view name, uint32_t access) = 0;
    // StartServiceW without arguments; ERROR_SERVICE_ALREADY_RUNNING when it runs already.
    virtual bool startService(NativeHandle service) = 0;
    // CloseServiceHandle.
    virtual bool closeHandle(NativeHandle handle) = 0;
};

ServiceManager& serviceManager();

// A service manager or service handle, closed when it goes out of scope.
class ServiceHandle {
public:
    explicit ServiceHandle(NativeHandle handle) : handle_(handle) {}
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
    ~ServiceHandle() {
        if (handle_) serviceManager().closeHandle(handle_);
    }
    NativeHandle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    NativeHandle handle_;
};

}  // namespace kv::platform
