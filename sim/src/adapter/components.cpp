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
    adapter.addComponent(makePacketFilter());
    adapter.addComponent(makeDriverLoopback());
    adapter.addComponent(makeFramePort());
    adapter.addComponent(makeSelfTestAnswers());
    adapter.addComponent(makeInterruptCounter());
    adapter.addComponent(makeWakeupPatterns());
    adapter.addComponent(makeSerialEeprom());
    adapter.addComponent(makeVlanTag());
}

}  // namespace kv::sim
