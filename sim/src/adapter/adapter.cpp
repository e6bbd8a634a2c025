#include "kv/sim/adapter/adapter.h"

#include <algorithm>

#include "kv/platform/types.h"
#include "kv/protocol.h"

namespace kv::sim {

namespace err = kv::platform::err;

Adapter::Adapter() = default;
Adapter::~Adapter() = default;

std::u16string Adapter::deviceName() const { return u"\\DEVICE\\" + guid; }

bool isPrivateOid(uint32_t oid) { return (oid & 0xFFFF0000u) == 0xFF440000u; }

void Adapter::addComponent(std::unique_ptr<AdapterComponent> component) { components_.push_back(std::move(component)); }

void Adapter::configure(const Json& adapterJson) {
    for (auto& c : components_) c->configure(adapterJson, *this);
}

uint32_t Adapter::command(OidCall& call) {
    if (std::find(faults.failingOids.begin(), faults.failingOids.end(), call.oid) != faults.failingOids.end())
        return err::kGenFailure;
    // A VLAN's own ID is the virtual adapter's; every other command reaches the physical adapter.
    if (vlanParent && call.oid != protocol::OID_GEN_VLAN_ID) return vlanParent->command(call);
    if (isPrivateOid(call.oid) && !faults.privateCommands) return err::kNotSupported;
    for (auto& c : components_) {
        if (auto result = c->handle(call, *this)) return *result;
    }
    return err::kNotSupported;
}

}  // namespace kv::sim
