#include "kv/sim/adapter/components.h"

namespace kv::sim {

void addStandardComponents(Adapter& adapter) {
    adapter.addComponent(makeDiagMode());
    adapter.addComponent(makeSupportedList());
}

}  // namespace kv::sim
