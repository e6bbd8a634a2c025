#include "kv/sim/adapter/components.h"

namespace kv::sim {

void addStandardComponents(Adapter& adapter) {
    adapter.addComponent(makeDiagMode());
    adapter.addComponent(makePhy());
}

}  // namespace kv::sim
