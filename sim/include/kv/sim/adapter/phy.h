// Stand-in for the PHY model until the PHY work lands.
#pragma once

#include "kv/sim/adapter/adapter.h"

namespace kv::sim {

class PhyModel : public AdapterComponent {
public:
    bool inLoopback() const;
    std::optional<uint32_t> handle(OidCall& call, Adapter& adapter) override;
};

}  // namespace kv::sim
