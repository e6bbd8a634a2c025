// The adapter's identity as the miniport reports it: its current Ethernet address, the maker's
// 40-byte adapter record, and 1024 bytes of PCI configuration space built from the PCI identity.
//
// Configuration space (type 0 header):
//   0x00 vendor id, 0x02 device id, 0x04 command (I/O, memory, bus master), 0x06 status
//   (capability list), 0x08 revision, 0x09..0x0B class 02 00 00 (Ethernet controller),
//   0x0D latency timer (0x40 on PCI), 0x10 BAR0 I/O base | 1, 0x14 BAR1 memory base,
//   0x2C subsystem vendor, 0x2E subsystem id, 0x34 first capability, 0x3C interrupt line,
//   0x3D interrupt pin A.
//   Capabilities: 0x40 power management (D1, D2, PME from every state), 0x50 MSI (64-bit), and on
//   PCI Express parts 0x70 the PCI Express capability (endpoint, 2.5 GT/s x1).
// A captured image ("images.pciConfig") replaces these bytes as far as it reaches; "pci.config"
// bytes of machine.json are applied last, over all of this.
#include <array>

#include "kv/bytes.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/byte_map.h"
#include "kv/sim/adapter/components.h"
#include "kv/sim/adapter/raw_images.h"

namespace kv::sim {

namespace {

namespace err = platform::err;

constexpr uint8_t kCapPowerManagement = 0x01;
constexpr uint8_t kCapMsi = 0x05;
constexpr uint8_t kCapPciExpress = 0x10;

// The maker's conventional PCI parts; the rest of the family sits on PCI Express.
bool isConventionalPci(uint16_t deviceId) { return deviceId == 0x4410 || deviceId == 0x4420; }

class Identity : public AdapterComponent {
public:
    void configure(const Json& adapterJson, Adapter& adapter) override {
        const Json& pci = adapterJson["pci"];
        express_ = pci["express"].asBool(!isConventionalPci(adapter.pci.deviceId));
        overrides_ = pci["config"];
        // --- captured image ---
        image_ = adapterJson["images"]["pciConfig"];
        // --- end captured image ---
        // Fail at load time, naming the field, rather than at the first query.
        std::array<uint8_t, protocol::kPciConfigBytes> probe{};
        applyByteImage(image_, probe, "images.pciConfig");
        applyByteMap(overrides_, probe, "pci.config");
    }

    std::optional<uint32_t> handle(OidCall& call, Adapter& adapter) override {
        switch (call.oid) {
            case protocol::OID_802_3_CURRENT_ADDRESS:
                return answer(call, adapter.mac);
            case protocol::OID_TVX_ADAPTER_INFO:
                return answer(call, adapterRecord(adapter.pci));
            case protocol::OID_TVX_PCI_CONFIG:
                return answer(call, configSpace(adapter.pci));
            default:
                return std::nullopt;
        }
    }

private:
    template <size_t N>
    static uint32_t answer(OidCall& call, const std::array<uint8_t, N>& bytes) {
        if (call.data.size() < N) return err::kInsufficientBuffer;
        std::copy(bytes.begin(), bytes.end(), call.data.begin());
        return err::kSuccess;
    }

    static std::array<uint8_t, protocol::adapter_record::kBytes> adapterRecord(const PciIdentity& p) {
        namespace rec = protocol::adapter_record;
        std::array<uint8_t, rec::kBytes> r{};
        writeU32(r, rec::kBus, p.bus);
        writeU32(r, rec::kSlot, p.slot);
        writeU32(r, rec::kIoAddress, p.ioAddress);
        writeU32(r, rec::kInterruptNumber, p.interruptLine);
        writeU32(r, rec::kMemoryAddress, p.memoryAddress);
        writeU32(r, rec::kVendorId, p.vendorId);
        writeU32(r, rec::kDeviceId, p.deviceId);
        writeU32(r, rec::kSubVendorId, p.subVendorId);
        writeU32(r, rec::kSubSystemId, p.subSystemId);
        writeU32(r, rec::kRevisionId, p.revisionId);
        return r;
    }

    std::array<uint8_t, protocol::kPciConfigBytes> configSpace(const PciIdentity& p) const {
        std::array<uint8_t, protocol::kPciConfigBytes> c{};
        writeU16(c, 0x00, p.vendorId);
        writeU16(c, 0x02, p.deviceId);
        uint16_t command = 0x0004;  // bus master
        if (p.ioAddress) command |= 0x0001;
        if (p.memoryAddress) command |= 0x0002;
        writeU16(c, 0x04, command);
        writeU16(c, 0x06, 0x0010);  // capability list present
        c[0x08] = p.revisionId;
        c[0x0B] = 0x02;  // network controller, Ethernet
        c[0x0C] = 0x10;  // cache line: 64 bytes
        c[0x0D] = express_ ? 0x00 : 0x40;
        if (p.ioAddress) writeU32(c, 0x10, (p.ioAddress & ~0x3u) | 0x1u);
        if (p.memoryAddress) writeU32(c, 0x14, p.memoryAddress & ~0xFu);
        writeU16(c, 0x2C, p.subVendorId);
        writeU16(c, 0x2E, p.subSystemId);
        c[0x34] = 0x40;
        c[0x3C] = static_cast<uint8_t>(p.interruptLine);
        c[0x3D] = 0x01;  // INTA#
        if (!express_) {
            c[0x3E] = 0x20;  // minimum grant
            c[0x3F] = 0x40;  // maximum latency
        }

        c[0x40] = kCapPowerManagement;
        c[0x41] = 0x50;
        writeU16(c, 0x42, 0xFFC3);  // version 3, D1, D2, PME from D0..D3cold
        c[0x50] = kCapMsi;
        c[0x51] = express_ ? 0x70 : 0x00;
        writeU16(c, 0x52, 0x0080);  // 64-bit message address, disabled
        if (express_) {
            c[0x70] = kCapPciExpress;
            writeU16(c, 0x72, 0x0001);      // version 1, endpoint
            writeU32(c, 0x7C, 0x00000C11);  // link: 2.5 GT/s, x1, L0s and L1
            writeU16(c, 0x82, 0x0011);      // negotiated: 2.5 GT/s, x1
        }
        applyByteImage(image_, c, "images.pciConfig");
        applyByteMap(overrides_, c, "pci.config");
        return c;
    }

    bool express_ = true;
    Json image_;  // a captured configuration space, over the generated one
    Json overrides_;
};

}  // namespace

std::unique_ptr<AdapterComponent> makeIdentity() { return std::make_unique<Identity>(); }

}  // namespace kv::sim
