#include "kv/sim/adapter/components.h"

namespace kv::sim {

// The link answers stand in until the adapter's link and PCI blocks are in place.
std::unique_ptr<AdapterComponent> makeLinkStub();

void addStandardComponents(Adapter& adapter) {
    adapter.addComponent(makeDiagMode());
    adapter.addComponent(makeSupportedList());
    adapter.addComponent(makePhy());
    adapter.addComponent(makeLinkStub());
}

}  // namespace kv::sim
