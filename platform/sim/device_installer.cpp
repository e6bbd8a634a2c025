// The device installer of the simulated machine: the devices of the class "Net", their driver
// keys in the machine's registry, property changes that act on the adapters, and INF files read
// from the machine's C:\WINDOWS\INF. Property changes are traced as
// "propchange <instance id> <change> scope=<n> profile=<n> <ok|err=n>". New devices (the VLAN
// virtual adapters) are registered, installed and removed on the machine; see kv/sim/vlans.h.
#include "kv/platform/device_installer.h"

#include <fstream>
#include <iterator>

#include "kv/platform/registry.h"
#include "kv/sim/host.h"
#include "kv/sim/inf_file.h"
#include "kv/sim/paths.h"
#include "kv/sim/vlans.h"
#include "kv/text.h"

namespace kv::platform {

namespace {

using sim::Host;

constexpr uint32_t kErrorDiNoClassInstallParams = 0xE0000215;
constexpr uint32_t kErrorDiDoDefault = 0xE000020E;
constexpr uint32_t kErrorDiClassMismatch = 0xE0000201;

const char* changeName(uint32_t change) {
    switch (change) {
        case setup::kDicsEnable:
            return "enable";
        case setup::kDicsDisable:
            return "disable";
        case setup::kDicsPropChange:
            return "propchange";
        default:
            return "other";
    }
}

std::u16string driverKeyPath(const sim::Device& d) {
    return std::u16string(sim::kNetClassKeyPath) + u"\\" + d.driverKey;
}

class SimDeviceInfoSet : public DeviceInfoSet {
public:
    explicit SimDeviceInfoSet(std::vector<size_t> devices) : devices_(std::move(devices)) {}

    bool exists(uint32_t index) override {
        Host::Call call(Host::get());
        if (index < devices_.size()) return true;
        Host::setLastError(err::kNoMoreItems);
        return false;
    }

    bool nodeStatus(uint32_t index, uint32_t* status, uint32_t* problem) override {
        Host::Call call(Host::get());
        sim::Device* d = device(call.host, index);
        if (!d || d->statusFails) return fail(err::kNoSuchDevinst);
        *status = sim::nodeStatusOf(*d);
        *problem = d->disabled ? 22 : d->notStarted ? 10 : 0;  // CM_PROB_DISABLED, CM_PROB_FAILED_START
        return true;
    }

    RegKeyHandle openDriverKey(uint32_t index, uint32_t access) override {
        Host::Call call(Host::get());
        sim::Device* d = existing(call.host, index);
        if (!d) return nullptr;
        std::u16string path = driverKeyPath(*d);
        if (!call.host.registry().find(path)) {
            fail(err::kFileNotFound);
            return nullptr;
        }
        return call.host.registryKeys().open(std::move(path), access);
    }

    bool setPropertyChangeParams(uint32_t index, uint32_t stateChange, uint32_t scope, uint32_t hwProfile) override {
        Host::Call call(Host::get());
        if (!device(call.host, index)) return fail(err::kNoSuchDevinst);
        pending_ = Params{index, stateChange, scope, hwProfile, true};
        return true;
    }

    bool callClassInstaller(uint32_t installFunction, uint32_t index) override {
        Host::Call call(Host::get());
        sim::Device* d = device(call.host, index);
        if (!d) return fail(err::kNoSuchDevinst);
        if (installFunction != setup::kDifPropertyChange) return fail(kErrorDiDoDefault);
        if (!pending_.set || pending_.index != index) return fail(kErrorDiNoClassInstallParams);
        const uint32_t result = d->refusePropertyChange ? err::kAccessDenied : err::kSuccess;
        call.host.trace().add("propchange " + utf16ToUtf8(d->instanceId) + " " + changeName(pending_.stateChange) +
                              " scope=" + std::to_string(pending_.scope) +
                              " profile=" + std::to_string(pending_.profile) +
                              (result ? " err=" + std::to_string(result) : std::string(" ok")));
        if (result) return fail(result);
        sim::changeDeviceState(call.host.machine(), *d, pending_.stateChange);
        return true;
    }

    std::optional<std::u16string> instanceId(uint32_t index) override {
        Host::Call call(Host::get());
        sim::Device* d = existing(call.host, index);
        if (!d) return std::nullopt;
        return d->instanceId;
    }

    RegKeyHandle createDriverKey(uint32_t index, uint32_t access) override {
        Host::Call call(Host::get());
        sim::Device* d = existing(call.host, index);
        if (!d) return nullptr;
        std::u16string path = driverKeyPath(*d);
        if (!call.host.registry().find(path)) {
            const uint32_t error = call.host.changeRegistry([&path](sim::RegistryTree& tree) {
                return tree.create(path) ? err::kSuccess : err::kInvalidParameter;
            });
            if (error) {
                fail(error);
                return nullptr;
            }
        }
        return call.host.registryKeys().open(std::move(path), access);
    }

    bool installDevice(uint32_t index) override {
        Host::Call call(Host::get());
        sim::Device* d = device(call.host, index);
        if (!d) return fail(err::kNoSuchDevinst);
        uint32_t error = 0;
        return sim::installDevice(call.host.machine(), *d, &error) || fail(error);
    }

    bool removeDevice(uint32_t index) override {
        Host::Call call(Host::get());
        sim::Device* d = device(call.host, index);
        if (!d || !d->present) return fail(err::kNoSuchDevinst);
        if (const uint32_t error = sim::removeDevice(call.host.machine(), *d)) return fail(error);
        return true;
    }

private:
    struct Params {
        uint32_t index = 0;
        uint32_t stateChange = 0;
        uint32_t scope = 0;
        uint32_t profile = 0;
        bool set = false;
    };

    sim::Device* device(Host& host, uint32_t index) {
        if (index >= devices_.size()) return nullptr;
        auto& all = host.machine().devices;
        return devices_[index] < all.size() ? &all[devices_[index]] : nullptr;
    }

    // The device, or null with ERROR_NO_SUCH_DEVINST as the last error.
    sim::Device* existing(Host& host, uint32_t index) {
        sim::Device* d = device(host, index);
        if (!d) fail(err::kNoSuchDevinst);
        return d;
    }

    static bool fail(uint32_t error) {
        Host::setLastError(error);
        return false;
    }

    std::vector<size_t> devices_;
    Params pending_;
};

class SimInfFile : public InfFile {
public:
    explicit SimInfFile(sim::InfFile inf) : inf_(std::move(inf)), names_(inf_.sectionNames()) {}

    bool findFirstLine(std::u16string_view section, InfContext* context) override {
        for (uint32_t s = 0; s < names_.size(); ++s) {
            if (!equalsIgnoreCase(names_[s], section)) continue;
            const auto* lines = inf_.section(names_[s]);
            if (!lines || lines->empty()) break;
            *context = InfContext{s, 0};
            return true;
        }
        Host::setLastError(err::kNotFound);
        return false;
    }

    bool findNextLine(const InfContext& from, InfContext* next) override {
        const auto* lines = linesOf(from.section);
        if (!lines || from.line + 1 >= lines->size()) {
            Host::setLastError(err::kNoMoreItems);
            return false;
        }
        *next = InfContext{from.section, from.line + 1};
        return true;
    }

    bool stringField(const InfContext& context, uint32_t index, std::u16string* out, uint32_t capacityChars) override {
        const sim::InfLine* line = lineAt(context);
        const auto field = line ? line->field(index) : std::nullopt;
        if (!field) {
            Host::setLastError(err::kInvalidParameter);
            return false;
        }
        if (field->size() + 1 > capacityChars) {
            Host::setLastError(err::kInsufficientBuffer);
            return false;
        }
        *out = *field;
        return true;
    }

    uint32_t fieldCount(const InfContext& context) override {
        const sim::InfLine* line = lineAt(context);
        return line ? static_cast<uint32_t>(line->fieldCount()) : 0;
    }

private:
    const std::vector<sim::InfLine>* linesOf(uint32_t section) const {
        return section < names_.size() ? inf_.section(names_[section]) : nullptr;
    }
    const sim::InfLine* lineAt(const InfContext& c) const {
        const auto* lines = linesOf(c.section);
        return lines && c.line < lines->size() ? &(*lines)[c.line] : nullptr;
    }

    sim::InfFile inf_;
    std::vector<std::u16string> names_;
};

class SimDeviceInstaller : public DeviceInstaller {
public:
    bool classGuidsFromName(std::u16string_view className, std::vector<Guid>* out) override {
        Host::Call call(Host::get());
        out->clear();
        if (equalsIgnoreCase(className, u"Net")) out->push_back(kNetClassGuid);
        return true;
    }

    std::unique_ptr<DeviceInfoSet> presentDevices(const Guid& classGuid) override {
        Host::Call call(Host::get());
        std::vector<size_t> list;
        if (classGuid == kNetClassGuid) {
            const auto& devices = call.host.machine().devices;
            for (size_t i = 0; i < devices.size(); ++i)
                if (devices[i].present) list.push_back(i);
        }
        return std::make_unique<SimDeviceInfoSet>(std::move(list));
    }

    std::unique_ptr<DeviceInfoSet> createDevice(const Guid& classGuid, std::u16string_view className,
                                                std::u16string_view hardwareId) override {
        Host::Call call(Host::get());
        if (!(classGuid == kNetClassGuid) || !equalsIgnoreCase(className, u"Net") || hardwareId.empty()) {
            Host::setLastError(kErrorDiClassMismatch);
            return nullptr;
        }
        sim::Machine& machine = call.host.machine();
        sim::registerDevice(machine, hardwareId);
        return std::make_unique<SimDeviceInfoSet>(std::vector<size_t>{machine.devices.size() - 1});
    }

    std::unique_ptr<InfFile> openInf(std::u16string_view fileName) override {
        Host::Call call(Host::get());
        std::u16string path(fileName);
        if (path.find_first_of(u"\\/:") == std::u16string::npos) path = u"C:\\WINDOWS\\INF\\" + path;
        const auto real = sim::resolveWindowsPath(path);
        std::ifstream in(real, std::ios::binary);
        if (real.empty() || !in) {
            Host::setLastError(err::kFileNotFound);
            return nullptr;
        }
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        try {
            return std::make_unique<SimInfFile>(sim::InfFile::parseBytes(bytes));
        } catch (const std::exception&) {
            Host::setLastError(err::kInvalidParameter);
            return nullptr;
        }
    }
};

}  // namespace

DeviceInstaller& deviceInstaller() {
    static SimDeviceInstaller instance;
    return instance;
}

}  // namespace kv::platform
