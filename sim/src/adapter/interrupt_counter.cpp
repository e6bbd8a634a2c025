// The driver's count of the adapter's interrupt service calls (OID_TVX_CLEAR_ISR_COUNTER,
// OID_TVX_GET_ISR_COUNTER). Writing a value with bit 0 set to controller register 0x38 makes the
// controller raise a software interrupt, which the driver counts; faults.noInterrupt keeps the
// interrupt from ever arriving.
#include "kv/bytes.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/components.h"
#include "kv/sim/adapter/registers.h"
#include "kv/sim/host.h"

namespace kv::sim {

namespace {

namespace err = kv::platform::err;

constexpr uint16_t kSoftwareInterruptRegister = 0x38;
constexpr uint8_t kRaiseSoftwareInterrupt = 0x01;

class InterruptCounter : public AdapterComponent {
public:
    void configure(const Json& adapterJson, Adapter& adapter) override {
        noInterrupt_ = adapterJson["faults"]["noInterrupt"].asBool(false);
        const uint32_t index = adapter.index;
        if (auto* registers = adapter.component<MacRegisters>()) {
            registers->addHook(
                kSoftwareInterruptRegister,
                RegisterHook{{}, [this, index](uint8_t value) {
                                 if (!(value & kRaiseSoftwareInterrupt) || noInterrupt_) return;
                                 ++count_;
                                 Host::get().trace().add("interrupt " + std::to_string(index) + " software");
                             }});
        }
    }

    std::optional<uint32_t> handle(OidCall& call, Adapter&) override {
        if (call.oid == protocol::OID_TVX_CLEAR_ISR_COUNTER) {
            count_ = 0;
            return err::kSuccess;
        }
        if (call.oid == protocol::OID_TVX_GET_ISR_COUNTER) {
            if (call.data.size() < 4) return err::kInsufficientBuffer;
            writeU32(call.data, 0, count_);
            return err::kSuccess;
        }
        return std::nullopt;
    }

private:
    uint32_t count_ = 0;
    bool noInterrupt_ = false;
};

}  // namespace

std::unique_ptr<AdapterComponent> makeInterruptCounter() { return std::make_unique<InterruptCounter>(); }

}  // namespace kv::sim
