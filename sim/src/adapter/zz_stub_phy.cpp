// Stand-in for the PHY model until the PHY work lands; never part of an adapter.
#include "kv/sim/adapter/phy.h"

namespace kv::sim {

bool PhyModel::inLoopback() const { return false; }
std::optional<uint32_t> PhyModel::handle(OidCall&, Adapter&) { return std::nullopt; }

}  // namespace kv::sim
