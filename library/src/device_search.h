// Finding the current adapter among the system's network devices: the present devices of the
// setup class "Net", matched by the "NetCfgInstanceId" of their driver keys against the adapter
// GUID. Used by the driver information, the registry key hand-out and the reload.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "kv/platform/device_installer.h"
#include "kv/platform/registry.h"

namespace kv::lib {

struct AdapterDevice {
    std::unique_ptr<platform::DeviceInfoSet> devices;  // the list the device belongs to
    uint32_t index = 0;                                // its position in the list
    platform::RegKey driverKey;                        // its driver key, open with all access
};

enum class SearchMessages { None, OpenFail };

// The first present, visible device whose "NetCfgInstanceId" begins with the adapter GUID (compared
// over the GUID's length). Nothing when no device matches or the device list cannot be had. With
// SearchMessages::OpenFail a failed read of the value shows "Open fail".
std::optional<AdapterDevice> findAdapterDevice(const std::u16string& adapterGuid, SearchMessages messages);

// Walks the present, visible devices of the class "Net" whose driver key opens with `access`,
// handing each one's position, key and "NetCfgInstanceId" (nothing when that value cannot be read)
// to `visit`, which returns true to stop. Returns the device list, null when it cannot be had.
using NetDeviceVisit =
    std::function<bool(uint32_t index, platform::RegKey& driverKey, const std::optional<std::u16string>& instanceId)>;
std::unique_ptr<platform::DeviceInfoSet> walkNetDevices(uint32_t access, const NetDeviceVisit& visit);

// Reads a string value of at most capacityBytes bytes (terminator included); nothing when the
// read fails, the value is not a string, or it does not fit.
std::optional<std::u16string> readStringValue(platform::RegKeyHandle key, std::u16string_view name,
                                              uint32_t capacityBytes);

}  // namespace kv::lib
