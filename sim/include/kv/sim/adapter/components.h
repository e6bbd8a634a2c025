// Factories of the adapter's hardware blocks, one source file each.
#pragma once

#include <memory>

#include "kv/sim/adapter/adapter.h"

namespace kv::sim {

std::unique_ptr<AdapterComponent> makeDiagMode();
std::unique_ptr<AdapterComponent> makePhy();
std::unique_ptr<AdapterComponent> makeSupportedList();

}  // namespace kv::sim
