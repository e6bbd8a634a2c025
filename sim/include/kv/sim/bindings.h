// The network protocols bound to each adapter, as the binding tool sees them: a component id, the
// binding path from the protocol down to the adapter, and whether the binding is enabled.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "kv/sim/json.h"

namespace kv::sim {

class Machine;

struct ProtocolBinding {
    size_t adapterIndex = 0;
    std::string component;  // "ms_tcpip"
    std::string path;       // "ms_tcpip->tvx_miniport_0000"
    bool bound = true;
};

// The protocols every adapter has when machine.json names none: the usual three and the
// diagnostic protocol driver's own.
inline constexpr const char* kDefaultProtocols[] = {"ms_tcpip", "ms_msclient", "ms_server", "tvx_tvndpt60"};

// Reads each adapter's "bindings" (or gives it the default ones) into the machine.
void readBindings(const Json& config, Machine& machine);

// The binding with this component id and path (paths compared without regard to case); null when
// the machine has none.
ProtocolBinding* findBinding(Machine& machine, std::string_view component, std::string_view path);

}  // namespace kv::sim
