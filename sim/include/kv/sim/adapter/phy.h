// The adapter's PHY: four pages of 32 registers behind the driver's PHY commands, the cable
// it is plugged into, auto-negotiation, loopback and the green feature.
//
// Commands:
//   OID_TVX_READ_PHY / OID_TVX_WRITE_PHY   page at data 0, register at 2, value at 4. The driver
//       selects the page for the one access and puts the previous selection back, unless the
//       access wrote register 31 itself.
//   OID_TVX_READ_PHY_WORD / _WRITE_PHY_WORD   register at 2, value at 4, on the page register 31
//       selects.
//   OID_TVX_PHY_DIAG_START / _END   the driver hands the PHY to the diagnostic commands and
//       takes it back (ending a pair test that still runs).
//   OID_TVX_NWAY_RESTART   auto-negotiation restarts: the link drops and comes back after the
//       settle time when the cable carries link.
// A register number above 31 or a data area shorter than 6 bytes is refused with error 87.
//
// A captured image ("images.phy", raw_images.h) gives the power-up contents of the plain and the
// identifier registers and the status register's bits other than link and negotiation; the
// model keeps the rest: link, crossover, the cable-length latch and the pair test (both report
// the image's values until their first measurement), loopback and the green feature.
//
// Register table (everything not listed is plain storage; pages above 3 read 0, ignore writes):
//   any page 0x1F       page select of the word commands
//   page 0   0x00       control: bit 15 reset (self-clearing: every register back to its
//                       default, loopback and green feature off, auto-negotiation restarts);
//                       bit 12 auto-negotiation enable; bit 9 restart it (self-clearing)
//            0x01       status, read-only: bit 5 negotiation complete, bit 2 link up
//            0x02-0x03  identifier, read-only
//            0x0B       bit 1: PHY loopback (4430, 4440, 4450 and any other chip but the 4410)
//            0x11       bit 6, read-only: crossover resolved (MDIX); bits 9:8 both set: PHY
//                       loopback on the 4410
//   page 1   0x04       writing 1 latches a cable-length measurement into 0x1E
//            0x1E       read-only; low byte: the latched cable length in metres, 0xFF when there
//                       was no estimate (no link, or 10 Mbit/s, which has no length estimator)
//   page 3   0x00       pair test control: bit 15 starts the test of pair (bits 1:0), in PHY
//                       diagnostic mode only, dropping the link; a write without bit 15 ends it
//            0x19       green feature: bit 0 drive scaling on (0x3955 at 1000 Mbit/s, 0x648D at
//                       100), the other bits its parameters
//            0x1C       pair test result, read-only: 0 while running, then the chip's encoding
//                       (cable.h)
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "kv/phy_registers.h"
#include "kv/sim/adapter/adapter.h"
#include "kv/sim/adapter/cable.h"

namespace kv::sim {

class PhyModel : public AdapterComponent {
public:
    static constexpr unsigned kPages = phy::kPages;
    static constexpr unsigned kRegisters = phy::kRegisters;
    static constexpr unsigned kPageSelect = phy::kPageSelect;

    PhyModel();
    ~PhyModel() override;

    void configure(const Json& adapterJson, Adapter& adapter) override;
    std::optional<uint32_t> handle(OidCall& call, Adapter& adapter) override;

    // True while the chip's loopback set-up is in effect.
    bool inLoopback() const;
    bool inDiagMode() const { return diagMode_; }
    bool greenFeatureOn() const {
        return (regs_[phy::kTestPage][phy::kGreenFeatureMarker] & phy::kGreenFeatureOn) != 0;
    }
    using Pages = std::array<std::array<uint16_t, kRegisters>, kPages>;
    // A register as a read command would report it now (reads have no side effects).
    uint16_t readRegister(unsigned page, unsigned reg) const;
    const Cable& cable() const { return cable_; }

private:
    void write(unsigned page, unsigned reg, uint16_t value);
    uint32_t pagedAccess(OidCall& call, bool isWrite);
    uint32_t selectedAccess(OidCall& call, bool isWrite);
    void writeControl(uint16_t value);
    void writePairTestControl(uint16_t value);
    void resetRegisters();
    void readPowerUpImage(const Json& image);
    void latchCableLength();
    void renegotiate();

    Adapter* adapter_ = nullptr;
    Pages regs_{};
    // What a reset returns to: the built-in defaults, or a captured image.
    Pages powerUp_{};
    // The captured pair test result, until a test runs.
    std::optional<uint16_t> pairResultImage_;
    uint16_t pageSelect_ = 0;
    uint16_t cableLengthLatch_ = 0;
    bool diagMode_ = false;

    // From machine.json.
    Cable cable_;
    TdrEncoding encoding_ = TdrEncoding::Coarse;
    bool mdix_ = false;
    bool linkAvailable_ = true;  // the cable carries link once negotiated
    bool linkNeverReturns_ = false;
    uint32_t settleMs_ = 3000;
    uint32_t writeError_ = 0;

    PairTest pairTest_;
    uint64_t linkEvent_ = 0;
    std::shared_ptr<int> alive_;
};

}  // namespace kv::sim
