// One simulated network adapter: its identity, link and faults as the machine declares them, and
// the hardware blocks (components) that answer the protocol driver's commands for it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "kv/sim/json.h"

namespace kv::sim {

class Adapter;
class Host;

struct PciIdentity {
    uint16_t vendorId = 0x1D7A;
    uint16_t deviceId = 0x4450;
    uint16_t subVendorId = 0x1D7A;
    uint16_t subSystemId = 0x0001;
    uint8_t revisionId = 1;
    uint32_t bus = 1;
    uint32_t slot = 0;
    uint32_t ioAddress = 0;
    uint32_t memoryAddress = 0;
    uint32_t interruptLine = 0;
};

enum class Duplex : uint32_t { Unknown = 0, Half = 1, Full = 2 };

struct LinkState {
    bool up = true;
    uint32_t speedMbps = 1000;
    Duplex duplex = Duplex::Full;
};

// The adapter's IPv4 settings as the system's adapter table reports them.
struct IpSettings {
    std::string address = "0.0.0.0";  // "0.0.0.0" when it has none
    std::string mask = "0.0.0.0";
    std::string gateway = "0.0.0.0";
    bool dhcp = false;
};

// Faults of the adapter's binding and driver, as machine.json declares them under "faults".
struct AdapterFaults {
    uint32_t openDeviceError = 0;          // IOCTL_PROT_OPEN_DEVICE fails with this error
    bool busy = false;                     // another protocol instance holds the adapter: ERROR_BUSY
    bool privateCommands = true;           // false: the miniport lacks the maker's private commands
    bool bindingNameUnterminated = false;  // the enumeration reply's device name runs to its end
    uint32_t bindingNameOffset = 0;        // non-zero: the reply's device-name offset field
    std::vector<uint32_t> failingOids;     // these commands fail with ERROR_GEN_FAILURE
};

// One command request reaching the adapter through the protocol driver.
struct OidCall {
    uint32_t oid = 0;
    bool isSet = false;
    // The data area after the 8-byte header (command id, port number): length - 8 bytes.
    std::span<uint8_t> data;
};

// A hardware block of the adapter. Components answer the commands they own.
class AdapterComponent {
public:
    virtual ~AdapterComponent() = default;
    // Reads the component's part of the adapter's machine.json object.
    virtual void configure(const Json& adapterJson, Adapter& adapter) {
        (void)adapterJson;
        (void)adapter;
    }
    // The Windows error number for a command this component owns, or nothing when it is not its.
    virtual std::optional<uint32_t> handle(OidCall& call, Adapter& adapter) = 0;
};

class Adapter {
public:
    Adapter();
    ~Adapter();
    Adapter(const Adapter&) = delete;
    Adapter& operator=(const Adapter&) = delete;

    // "\DEVICE\{GUID}".
    std::u16string deviceName() const;

    std::u16string guid;  // "{...}"
    std::u16string description;
    std::array<uint8_t, 6> mac{};
    PciIdentity pci;
    LinkState link;
    IpSettings ip;
    AdapterFaults faults;
    bool bound = true;         // the protocol driver is bound to it (listed by enumeration)
    bool present = true;       // false while the device is disabled or restarting
    bool diagEnabled = false;  // the miniport accepted the diagnostic-mode access value
    uint32_t index = 0;        // position in the machine's adapter list

    // --- VLANs: an 802.1Q VLAN is a virtual adapter of its own whose commands the physical
    // adapter's miniport answers. vlanParent is that physical adapter (null for a physical one);
    // vlanId the ID the adapter tags with (OID_GEN_VLAN_ID); vlanSupport false for a miniport
    // that knows nothing of VLANs.
    Adapter* vlanParent = nullptr;
    uint32_t vlanId = 0;
    bool vlanSupport = true;
    // --- end VLANs

    void configure(const Json& adapterJson);
    // Answers one command; returns the Windows error number (0 on success).
    uint32_t command(OidCall& call);

    void addComponent(std::unique_ptr<AdapterComponent> component);
    template <typename T>
    T* component() {
        for (auto& c : components_)
            if (auto* p = dynamic_cast<T*>(c.get())) return p;
        return nullptr;
    }

private:
    std::vector<std::unique_ptr<AdapterComponent>> components_;
};

// Every hardware block a simulated adapter has; one line per component.
void addStandardComponents(Adapter& adapter);

bool isPrivateOid(uint32_t oid);

}  // namespace kv::sim
