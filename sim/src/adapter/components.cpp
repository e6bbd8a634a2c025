#include "kv/sim/adapter/components.h"

namespace kv::sim {

void addStandardComponents(Adapter& adapter) {
    adapter.addComponent(makeDiagMode());
    adapter.addComponent(makeSupportedList());
    adapter.addComponent(makeIdentity());
    adapter.addComponent(makeMacRegisters());
    adapter.addComponent(makeLink());
    adapter.addComponent(makeNdisInfo());
    adapter.addComponent(makeStatistics());
    adapter.addComponent(makePhy());
}

}  // namespace kv::sim
