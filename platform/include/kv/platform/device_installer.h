// The device installer and configuration manager: device classes, present devices, node status,
// driver keys, property-change class installs, and INF files.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kv/platform/types.h"

namespace kv::platform {

struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    std::array<uint8_t, 8> data4{};
    bool operator==(const Guid&) const = default;
};
static_assert(sizeof(Guid) == 16);

// {4D36E972-E325-11CE-BFC1-08002BE10318}, the setup class of network adapters.
inline constexpr Guid kNetClassGuid{0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

// Node status flags (CM_Get_DevNode_Status).
inline constexpr uint32_t kDnNoShowInDeviceManager = 0x40000000;
inline constexpr uint32_t kDnStarted = 0x00000008;  // the device's driver has started

// Device installer constants.
namespace setup {
inline constexpr uint32_t kDifPropertyChange = 0x12;
inline constexpr uint32_t kDicsEnable = 1;
inline constexpr uint32_t kDicsDisable = 2;
inline constexpr uint32_t kDicsPropChange = 3;
inline constexpr uint32_t kDicsFlagGlobal = 1;
inline constexpr uint32_t kDicsFlagConfigSpecific = 2;
}  // namespace setup

// A list of devices (an HDEVINFO). Devices are addressed by their 0-based position in the list.
class DeviceInfoSet {
public:
    virtual ~DeviceInfoSet() = default;
    // SetupDiEnumDeviceInfo: false with ERROR_NO_MORE_ITEMS past the end.
    virtual bool exists(uint32_t index) = 0;
    // CM_Get_DevNode_Status.
    virtual bool nodeStatus(uint32_t index, uint32_t* status, uint32_t* problem) = 0;
    // SetupDiOpenDevRegKey(DICS_FLAG_GLOBAL, profile 0, DIREG_DRV, access); null on failure.
    virtual RegKeyHandle openDriverKey(uint32_t index, uint32_t access) = 0;
    // SetupDiSetClassInstallParams with a property-change header.
    virtual bool setPropertyChangeParams(uint32_t index, uint32_t stateChange, uint32_t scope, uint32_t hwProfile) = 0;
    // SetupDiCallClassInstaller.
    virtual bool callClassInstaller(uint32_t installFunction, uint32_t index) = 0;
    // SetupDiGetDeviceInstanceIdW.
    virtual std::optional<std::u16string> instanceId(uint32_t index) = 0;
    // SetupDiCreateDevRegKeyW(DICS_FLAG_GLOBAL, profile 0, DIREG_DRV): the driver key, created when
    // the device has none yet; null on failure.
    virtual RegKeyHandle createDriverKey(uint32_t index, uint32_t access) = 0;
    // Installs the best driver for the device's hardware id (driver list built, the best compatible
    // driver selected, DIF_INSTALLDEVICE). The device's driver starts afterwards, when the system
    // has loaded it: its node status tells when.
    virtual bool installDevice(uint32_t index) = 0;
    // SetupDiRemoveDevice: uninstalls the device.
    virtual bool removeDevice(uint32_t index) = 0;
};

// Position of a line inside an open INF file (an INFCONTEXT).
struct InfContext {
    uint32_t section = 0;
    uint32_t line = 0;
};

class InfFile {
public:
    virtual ~InfFile() = default;
    // SetupFindFirstLineW(section, no key).
    virtual bool findFirstLine(std::u16string_view section, InfContext* context) = 0;
    // SetupFindNextLine: the next line of the same section.
    virtual bool findNextLine(const InfContext& from, InfContext* next) = 0;
    // SetupGetStringFieldW with a capacity in characters including the terminator; false with
    // ERROR_INSUFFICIENT_BUFFER when the field does not fit.
    virtual bool stringField(const InfContext& context, uint32_t index, std::u16string* out,
                             uint32_t capacityChars) = 0;
    // SetupGetFieldCount.
    virtual uint32_t fieldCount(const InfContext& context) = 0;
};

class DeviceInstaller {
public:
    virtual ~DeviceInstaller() = default;
    // SetupDiClassGuidsFromNameW.
    virtual bool classGuidsFromName(std::u16string_view className, std::vector<Guid>* out) = 0;
    // SetupDiGetClassDevsW(class, DIGCF_PRESENT); null on failure.
    virtual std::unique_ptr<DeviceInfoSet> presentDevices(const Guid& classGuid) = 0;
    // A new root-enumerated device of the class with one hardware id, registered with the system
    // (SetupDiCreateDeviceInfoW with a generated id, SPDRP_HARDWAREID, DIF_REGISTERDEVICE): the
    // only device, at position 0, of the returned list. Null on failure.
    virtual std::unique_ptr<DeviceInfoSet> createDevice(const Guid& classGuid, std::u16string_view className,
                                                        std::u16string_view hardwareId) = 0;
    // SetupOpenInfFileW(name, no class, INF_STYLE_WIN4); a bare file name is looked up in the
    // system's INF directory. Null on failure.
    virtual std::unique_ptr<InfFile> openInf(std::u16string_view fileName) = 0;
};

DeviceInstaller& deviceInstaller();

}  // namespace kv::platform
