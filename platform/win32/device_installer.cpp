// The device installer and configuration manager on SetupAPI: class GUIDs by name, lists of
// present devices, node status, driver keys, property-change class installs, and INF files.
#include "kv/platform/device_installer.h"

#include <windows.h>
// The SetupAPI headers rely on the types of windows.h.
#include <cfgmgr32.h>
#include <setupapi.h>
// The device-class GUIDs are defined, not only declared, in this unit.
#include <initguid.h>
// initguid.h must come first.
#include <devguid.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <vector>

#include "kv/text.h"
#include "win32_util.h"

namespace kv::platform {

namespace {

Guid toGuid(const GUID& g) {
    Guid out{g.Data1, g.Data2, g.Data3, {}};
    std::copy(std::begin(g.Data4), std::end(g.Data4), out.data4.begin());
    return out;
}

GUID toNative(const Guid& g) {
    GUID out{g.data1, g.data2, g.data3, {}};
    std::copy(g.data4.begin(), g.data4.end(), std::begin(out.Data4));
    return out;
}

class Win32DeviceInfoSet : public DeviceInfoSet {
public:
    explicit Win32DeviceInfoSet(HDEVINFO set) : set_(set) {}
    Win32DeviceInfoSet(const Win32DeviceInfoSet&) = delete;
    Win32DeviceInfoSet& operator=(const Win32DeviceInfoSet&) = delete;
    ~Win32DeviceInfoSet() override { SetupDiDestroyDeviceInfoList(set_); }

    bool exists(uint32_t index) override {
        SP_DEVINFO_DATA data;
        return device(index, &data);
    }

    bool nodeStatus(uint32_t index, uint32_t* status, uint32_t* problem) override {
        SP_DEVINFO_DATA data;
        if (!device(index, &data)) return false;
        ULONG s = 0;
        ULONG p = 0;
        if (CM_Get_DevNode_Status(&s, &p, data.DevInst, 0) != CR_SUCCESS) {
            SetLastError(err::kNoSuchDevinst);
            return false;
        }
        *status = s;
        *problem = p;
        return true;
    }

    RegKeyHandle openDriverKey(uint32_t index, uint32_t access) override {
        SP_DEVINFO_DATA data;
        if (!device(index, &data)) return nullptr;
        HKEY key = SetupDiOpenDevRegKey(set_, &data, DICS_FLAG_GLOBAL, 0, DIREG_DRV, access);
        return key == INVALID_HANDLE_VALUE ? nullptr : key;
    }

    bool setPropertyChangeParams(uint32_t index, uint32_t stateChange, uint32_t scope, uint32_t hwProfile) override {
        SP_DEVINFO_DATA data;
        if (!device(index, &data)) return false;
        SP_PROPCHANGE_PARAMS params{};
        params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
        params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
        params.StateChange = stateChange;
        params.Scope = scope;
        params.HwProfile = hwProfile;
        return SetupDiSetClassInstallParamsW(set_, &data, &params.ClassInstallHeader, sizeof params) != FALSE;
    }

    bool callClassInstaller(uint32_t installFunction, uint32_t index) override {
        SP_DEVINFO_DATA data;
        if (!device(index, &data)) return false;
        return SetupDiCallClassInstaller(installFunction, set_, &data) != FALSE;
    }

    std::optional<std::u16string> instanceId(uint32_t index) override {
        SP_DEVINFO_DATA data;
        if (!device(index, &data)) return std::nullopt;
        std::vector<wchar_t> buffer(MAX_DEVICE_ID_LEN + 1);
        DWORD required = 0;
        if (!SetupDiGetDeviceInstanceIdW(set_, &data, buffer.data(), static_cast<DWORD>(buffer.size()), &required)) {
            if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
            buffer.resize(required);
            if (!SetupDiGetDeviceInstanceIdW(set_, &data, buffer.data(), required, nullptr)) return std::nullopt;
        }
        return win32::fromWide(buffer.data(), wcsnlen(buffer.data(), buffer.size()));
    }

    // The key is created with all access, whatever `access` asks for.
    RegKeyHandle createDriverKey(uint32_t index, uint32_t access) override {
        (void)access;
        SP_DEVINFO_DATA data;
        if (!device(index, &data)) return nullptr;
        HKEY key = SetupDiCreateDevRegKeyW(set_, &data, DICS_FLAG_GLOBAL, 0, DIREG_DRV, nullptr, nullptr);
        return key == INVALID_HANDLE_VALUE ? nullptr : key;
    }

    bool installDevice(uint32_t index) override {
        SP_DEVINFO_DATA data;
        if (!device(index, &data)) return false;
        return SetupDiBuildDriverInfoList(set_, &data, SPDIT_COMPATDRIVER) &&
               SetupDiCallClassInstaller(DIF_SELECTBESTCOMPATDRV, set_, &data) &&
               SetupDiCallClassInstaller(DIF_INSTALLDEVICE, set_, &data);
    }

    bool removeDevice(uint32_t index) override {
        SP_DEVINFO_DATA data;
        if (!device(index, &data)) return false;
        return SetupDiRemoveDevice(set_, &data) != FALSE;
    }

private:
    bool device(uint32_t index, SP_DEVINFO_DATA* data) {
        *data = SP_DEVINFO_DATA{};
        data->cbSize = sizeof(SP_DEVINFO_DATA);
        return SetupDiEnumDeviceInfo(set_, index, data) != FALSE;
    }

    HDEVINFO set_;
};

// An INF file opened on its own: every line context's file handles are the HINF itself, so a
// position is fully given by its section and line numbers.
class Win32InfFile : public InfFile {
public:
    explicit Win32InfFile(HINF inf) : inf_(inf) {}
    Win32InfFile(const Win32InfFile&) = delete;
    Win32InfFile& operator=(const Win32InfFile&) = delete;
    ~Win32InfFile() override { SetupCloseInfFile(inf_); }

    bool findFirstLine(std::u16string_view section, InfContext* context) override {
        INFCONTEXT c{};
        if (!SetupFindFirstLineW(inf_, win32::wide(section).c_str(), nullptr, &c)) return false;
        *context = InfContext{c.Section, c.Line};
        return true;
    }

    bool findNextLine(const InfContext& from, InfContext* next) override {
        INFCONTEXT c = native(from);
        INFCONTEXT n{};
        if (!SetupFindNextLine(&c, &n)) return false;
        *next = InfContext{n.Section, n.Line};
        return true;
    }

    bool stringField(const InfContext& context, uint32_t index, std::u16string* out, uint32_t capacityChars) override {
        INFCONTEXT c = native(context);
        std::vector<wchar_t> buffer(capacityChars ? capacityChars : 1);
        DWORD required = 0;
        if (!SetupGetStringFieldW(&c, index, capacityChars ? buffer.data() : nullptr, capacityChars, &required))
            return false;
        if (capacityChars == 0) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return false;
        }
        *out = win32::fromWide(buffer.data(), wcsnlen(buffer.data(), buffer.size()));
        return true;
    }

    uint32_t fieldCount(const InfContext& context) override {
        INFCONTEXT c = native(context);
        return SetupGetFieldCount(&c);
    }

private:
    INFCONTEXT native(const InfContext& context) const {
        INFCONTEXT c{};
        c.Inf = inf_;
        c.CurrentInf = inf_;
        c.Section = context.section;
        c.Line = context.line;
        return c;
    }

    HINF inf_;
};

class Win32DeviceInstaller : public DeviceInstaller {
    // Drops a list that could not be completed, keeping the error that ended it.
    static std::unique_ptr<DeviceInfoSet> failed(std::unique_ptr<DeviceInfoSet> set) {
        const DWORD error = GetLastError();
        set.reset();
        SetLastError(error);
        return nullptr;
    }

public:
    bool classGuidsFromName(std::u16string_view className, std::vector<Guid>* out) override {
        out->clear();
        const std::wstring name = win32::wide(className);
        std::vector<GUID> guids(4);
        DWORD required = 0;
        BOOL ok = SetupDiClassGuidsFromNameW(name.c_str(), guids.data(), static_cast<DWORD>(guids.size()), &required);
        if (!ok && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            guids.resize(required);
            ok = SetupDiClassGuidsFromNameW(name.c_str(), guids.data(), required, &required);
        }
        if (ok) {
            for (DWORD i = 0; i < required && i < guids.size(); ++i) out->push_back(toGuid(guids[i]));
        }
        // Some systems (wine among them) keep no class key for network adapters and answer with no
        // GUID; the class's GUID is fixed, so it stands in.
        if (out->empty() && equalsIgnoreCase(className, u"Net")) {
            out->push_back(toGuid(GUID_DEVCLASS_NET));
            return true;
        }
        return ok != FALSE;
    }

    std::unique_ptr<DeviceInfoSet> presentDevices(const Guid& classGuid) override {
        const GUID guid = toNative(classGuid);
        HDEVINFO set = SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT);
        if (set == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32DeviceInfoSet>(set);
    }

    std::unique_ptr<DeviceInfoSet> createDevice(const Guid& classGuid, std::u16string_view className,
                                                std::u16string_view hardwareId) override {
        const GUID guid = toNative(classGuid);
        HDEVINFO list = SetupDiCreateDeviceInfoList(&guid, nullptr);
        if (list == INVALID_HANDLE_VALUE) return nullptr;
        auto set = std::make_unique<Win32DeviceInfoSet>(list);
        SP_DEVINFO_DATA data{};
        data.cbSize = sizeof data;
        if (!SetupDiCreateDeviceInfoW(list, win32::wide(className).c_str(), &guid, nullptr, nullptr, DICD_GENERATE_ID,
                                      &data))
            return failed(std::move(set));
        // The hardware id as a multi-string: the id, its terminator and the list's terminator.
        std::wstring ids = win32::wide(hardwareId);
        ids.append(2, L'\0');
        if (!SetupDiSetDeviceRegistryPropertyW(list, &data, SPDRP_HARDWAREID, reinterpret_cast<const BYTE*>(ids.data()),
                                               static_cast<DWORD>(ids.size() * sizeof(wchar_t))) ||
            !SetupDiCallClassInstaller(DIF_REGISTERDEVICE, list, &data))
            return failed(std::move(set));
        return set;
    }

    std::unique_ptr<InfFile> openInf(std::u16string_view fileName) override {
        HINF inf = SetupOpenInfFileW(win32::wide(fileName).c_str(), nullptr, INF_STYLE_WIN4, nullptr);
        if (inf == INVALID_HANDLE_VALUE) return nullptr;
        return std::make_unique<Win32InfFile>(inf);
    }
};

}  // namespace

DeviceInstaller& deviceInstaller() {
    static Win32DeviceInstaller instance;
    return instance;
}

}  // namespace kv::platform
