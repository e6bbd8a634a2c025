// The miniport's diagnostic mode: switched on by the maker's access value.
#include "kv/bytes.h"
#include "kv/platform/types.h"
#include "kv/protocol.h"
#include "kv/sim/adapter/components.h"

namespace kv::sim {

namespace {

class DiagMode : public AdapterComponent {
public:
    std::optional<uint32_t> handle(OidCall& call, Adapter& adapter) override {
        if (call.oid != protocol::OID_TVX_ENABLE_DIAG) return std::nullopt;
        const bool accepted = readU16(call.data, 0) == protocol::kDiagAccessWord0 &&
                              readU16(call.data, 2) == protocol::kDiagAccessWord1;
        if (!accepted) return platform::err::kAccessDenied;
        adapter.diagEnabled = true;
        return platform::err::kSuccess;
    }
};

}  // namespace

std::unique_ptr<AdapterComponent> makeDiagMode() { return std::make_unique<DiagMode>(); }

}  // namespace kv::sim
