#include "kv/sim/adapter/phy.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "kv/bytes.h"
#include "kv/phy_registers.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/components.h"
#include "kv/sim/adapter/raw_images.h"
#include "kv/sim/host.h"

namespace kv::sim {

namespace err = kv::platform::err;

namespace {

using phy::kCableLengthEstimate;
using phy::kCableLengthMeasure;
using phy::kControl;
using phy::kGreenFeatureMarker;
using phy::kGreenFeatureOn;
using phy::kIdentifier1;
using phy::kIdentifier2;
using phy::kLoopbackControl;
using phy::kMdix;
using phy::kNoLengthEstimate;
using phy::kPairTestControl;
using phy::kPairTestResult;
using phy::kSpecificStatus;
using phy::kStatus;

constexpr uint16_t kReset = 0x8000;
constexpr uint16_t kAutoNegEnable = 0x1000;
constexpr uint16_t kRestartAutoNeg = 0x0200;
constexpr uint16_t kControlDefault = 0x1140;  // auto-negotiation, full duplex, 1000 Mbit/s
constexpr uint16_t kStatusBase = 0x7949;
constexpr uint16_t kStatusLink = 0x0004;
constexpr uint16_t kStatusNegotiated = 0x0020;
constexpr uint16_t k4410LoopbackMode = 0x0300;
constexpr uint16_t kLoopbackEnable = 0x0002;
constexpr uint16_t kStartPairTest = 0x8000;

constexpr size_t kRequestDataBytes = 6;

}  // namespace

PhyModel::PhyModel() : alive_(std::make_shared<int>(0)) {}
PhyModel::~PhyModel() = default;

void PhyModel::configure(const Json& j, Adapter& adapter) {
    adapter_ = &adapter;
    mdix_ = j["phy"]["mdix"].asBool(false);
    settleMs_ = static_cast<uint32_t>(j["link"]["settleMs"].asUInt(settleMs_));
    linkAvailable_ = adapter.link.up;
    cable_ = readCable(j["cable"], adapter.link.up);
    encoding_ = tdrEncodingFor(adapter.pci);
    pairTest_.setDurationMs(static_cast<uint32_t>(j["cable"]["testMs"].asUInt(500)));

    const Json& faults = j["faults"];
    linkNeverReturns_ = faults["linkNeverReturns"].asBool(false);
    writeError_ = static_cast<uint32_t>(faults["phyWriteError"].asUInt(0));
    for (const Json& pair : faults["pairTestNeverCompletes"].elements())
        pairTest_.setNeverCompletes(static_cast<unsigned>(pair.asUInt(99)), true);
    readPowerUpImage(j["images"]["phy"]);
}

// --- captured image ---
void PhyModel::readPowerUpImage(const Json& image) {
    powerUp_ = {};
    powerUp_[0][kControl] = kControlDefault;
    powerUp_[0][kStatus] = kStatusBase;
    powerUp_[0][kIdentifier1] = 0x1D7A;
    powerUp_[0][kIdentifier2] = 0x4401;
    if (!image.isNull() && (!image.isArray() || image.size() > kPages))
        throw std::runtime_error("images.phy must be an array of up to 4 pages");
    for (size_t page = 0; page < image.size(); ++page)
        applyWordImage(image[page], powerUp_[page], "images.phy[" + std::to_string(page) + "]");
    resetRegisters();
    if (image.isNull()) return;
    // The state the capture found, loopback and green feature included; a reset leaves them.
    regs_ = powerUp_;
    pageSelect_ = powerUp_[0][kPageSelect];
    cableLengthLatch_ = powerUp_[1][kCableLengthEstimate];
    pairResultImage_ = powerUp_[3][kPairTestResult];
}
// --- end captured image ---

std::optional<uint32_t> PhyModel::handle(OidCall& call, Adapter& adapter) {
    adapter_ = &adapter;
    switch (call.oid) {
        case protocol::OID_TVX_READ_PHY:
            return pagedAccess(call, false);
        case protocol::OID_TVX_WRITE_PHY:
            return pagedAccess(call, true);
        case protocol::OID_TVX_READ_PHY_WORD:
            return selectedAccess(call, false);
        case protocol::OID_TVX_WRITE_PHY_WORD:
            return selectedAccess(call, true);
        case protocol::OID_TVX_PHY_DIAG_START:
            diagMode_ = true;
            return err::kSuccess;
        case protocol::OID_TVX_PHY_DIAG_END:
            diagMode_ = false;
            pairTest_.stop();
            return err::kSuccess;
        case protocol::OID_TVX_NWAY_RESTART:
            regs_[0][kControl] |= kAutoNegEnable;
            renegotiate();
            return err::kSuccess;
        default:
            return std::nullopt;
    }
}

uint32_t PhyModel::pagedAccess(OidCall& call, bool isWrite) {
    if (call.data.size() < kRequestDataBytes) return err::kInvalidParameter;
    const uint16_t page = readU16(call.data, 0);
    const uint16_t reg = readU16(call.data, 2);
    if (reg >= kRegisters) return err::kInvalidParameter;
    if (isWrite && writeError_) return writeError_;
    const uint16_t previous = pageSelect_;
    pageSelect_ = page;
    if (isWrite)
        write(page, reg, readU16(call.data, 4));
    else
        writeU16(call.data, 4, readRegister(page, reg));
    // Only a write of register 31 itself keeps the new selection.
    if (!isWrite || reg != kPageSelect) pageSelect_ = previous;
    return err::kSuccess;
}

uint32_t PhyModel::selectedAccess(OidCall& call, bool isWrite) {
    if (call.data.size() < kRequestDataBytes) return err::kInvalidParameter;
    const uint16_t reg = readU16(call.data, 2);
    if (reg >= kRegisters) return err::kInvalidParameter;
    if (isWrite && writeError_) return writeError_;
    if (isWrite)
        write(pageSelect_, reg, readU16(call.data, 4));
    else
        writeU16(call.data, 4, readRegister(pageSelect_, reg));
    return err::kSuccess;
}

uint16_t PhyModel::readRegister(unsigned page, unsigned reg) const {
    if (reg == kPageSelect) return pageSelect_;
    if (page >= kPages || reg >= kRegisters) return 0;
    if (page == 0) {
        switch (reg) {
            case kStatus:
                return (powerUp_[0][kStatus] & ~(kStatusLink | kStatusNegotiated)) |
                       (adapter_ && adapter_->link.up ? kStatusLink | kStatusNegotiated : 0);
            case kSpecificStatus:
                return (regs_[0][reg] & ~kMdix) | (mdix_ ? kMdix : 0);
        }
    }
    if (page == 1 && reg == kCableLengthEstimate) return cableLengthLatch_;
    if (page == 3 && reg == kPairTestResult) return pairResultImage_.value_or(pairTest_.resultRegister());
    return regs_[page][reg];
}

void PhyModel::write(unsigned page, unsigned reg, uint16_t value) {
    if (reg == kPageSelect) {
        pageSelect_ = value;
        return;
    }
    if (page >= kPages) return;
    if (page == 0) {
        switch (reg) {
            case kControl:
                writeControl(value);
                return;
            case kStatus:
            case kIdentifier1:
            case kIdentifier2:
                return;
        }
    }
    if (page == 1 && reg == kCableLengthEstimate) return;
    if (page == 3 && reg == kPairTestResult) return;
    regs_[page][reg] = value;
    if (page == 1 && reg == kCableLengthMeasure && value == 1) latchCableLength();
    if (page == 3 && reg == kPairTestControl) writePairTestControl(value);
}

void PhyModel::writeControl(uint16_t value) {
    if (value & kReset) {
        resetRegisters();
        renegotiate();
        return;
    }
    regs_[0][kControl] = value & ~kRestartAutoNeg;
    if ((value & (kAutoNegEnable | kRestartAutoNeg)) == (kAutoNegEnable | kRestartAutoNeg)) renegotiate();
}

void PhyModel::writePairTestControl(uint16_t value) {
    if (!(value & kStartPairTest)) {
        pairTest_.stop();
        return;
    }
    // Outside diagnostic mode the driver's link management owns the PHY: no test starts.
    if (!diagMode_) return;
    const unsigned pair = value & 0x3;
    pairResultImage_.reset();
    // The pulses replace the link's idle signal: the link partner drops the link.
    if (adapter_) adapter_->link.up = false;
    pairTest_.start(pair, pairTestResult(cable_.pairs[pair], pair, encoding_));
}

// Back to the power-up contents, without loopback and green feature, whatever they held.
void PhyModel::resetRegisters() {
    regs_ = powerUp_;
    regs_[0][kControl] &= static_cast<uint16_t>(~(kReset | kRestartAutoNeg));
    regs_[0][kLoopbackControl] &= static_cast<uint16_t>(~kLoopbackEnable);
    regs_[0][kSpecificStatus] &= static_cast<uint16_t>(~k4410LoopbackMode);
    regs_[3][kGreenFeatureMarker] &= static_cast<uint16_t>(~kGreenFeatureOn);
    pageSelect_ = 0;
    cableLengthLatch_ = 0;
    pairResultImage_.reset();
    pairTest_.stop();
}

// With link, the estimate of the cable's length: metres at 10 and 100 Mbit/s; at 1000 Mbit/s in
// the gigabit estimator's steps, (metres + 14) / 2, which reads back as 2 x L - 14 metres.
void PhyModel::latchCableLength() {
    if (!adapter_ || !adapter_->link.up) {
        cableLengthLatch_ = kNoLengthEstimate;
        return;
    }
    long steps = std::lround(cable_.lengthM);
    if (adapter_->link.speedMbps == 1000) steps = (steps + 14) / 2;
    cableLengthLatch_ = static_cast<uint16_t>(std::min(steps, 0xFFL));
}

void PhyModel::renegotiate() {
    if (!adapter_) return;
    adapter_->link.up = false;
    if (linkEvent_) Host::get().clock().cancel(linkEvent_);
    linkEvent_ = 0;
    if (!linkAvailable_ || linkNeverReturns_) return;
    std::weak_ptr<int> alive = alive_;
    linkEvent_ = Host::get().clock().schedule(settleMs_, [this, alive] {
        if (alive.expired()) return;
        linkEvent_ = 0;
        adapter_->link.up = true;
    });
}

bool PhyModel::inLoopback() const {
    if (adapter_ && adapter_->pci.deviceId == 0x4410)
        return (regs_[0][kSpecificStatus] & k4410LoopbackMode) == k4410LoopbackMode;
    return (regs_[0][kLoopbackControl] & kLoopbackEnable) != 0;
}

std::unique_ptr<AdapterComponent> makePhy() { return std::make_unique<PhyModel>(); }

}  // namespace kv::sim
