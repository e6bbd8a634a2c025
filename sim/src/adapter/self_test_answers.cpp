// The register and EEPROM self-tests the driver runs on command (OID_TVX_MAC_REG_TEST,
// OID_TVX_EEPROM_TEST): the driver answers 1 for a pass. machine.json may make it answer
// something else (faults.macRegisterTestAnswer, faults.eepromTestAnswer).
#include "kv/bytes.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/components.h"

namespace kv::sim {

namespace {

namespace err = kv::platform::err;

class SelfTestAnswers : public AdapterComponent {
public:
    void configure(const Json& adapterJson, Adapter&) override {
        const Json& faults = adapterJson["faults"];
        macRegisterAnswer_ = static_cast<uint32_t>(faults["macRegisterTestAnswer"].asUIntOrHex(1));
        eepromAnswer_ = static_cast<uint32_t>(faults["eepromTestAnswer"].asUIntOrHex(1));
    }

    std::optional<uint32_t> handle(OidCall& call, Adapter&) override {
        uint32_t answer = 0;
        if (call.oid == protocol::OID_TVX_MAC_REG_TEST)
            answer = macRegisterAnswer_;
        else if (call.oid == protocol::OID_TVX_EEPROM_TEST)
            answer = eepromAnswer_;
        else
            return std::nullopt;
        if (call.data.size() < 4) return err::kInsufficientBuffer;
        writeU32(call.data, 0, answer);
        return err::kSuccess;
    }

private:
    uint32_t macRegisterAnswer_ = 1;
    uint32_t eepromAnswer_ = 1;
};

}  // namespace

std::unique_ptr<AdapterComponent> makeSelfTestAnswers() { return std::make_unique<SelfTestAnswers>(); }

}  // namespace kv::sim
