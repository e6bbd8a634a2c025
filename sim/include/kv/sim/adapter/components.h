// Factories of the adapter's hardware blocks, one source file each.
#pragma once

#include <memory>

#include "kv/sim/adapter/adapter.h"

namespace kv::sim {

std::unique_ptr<AdapterComponent> makeDiagMode();
std::unique_ptr<AdapterComponent> makePhy();
std::unique_ptr<AdapterComponent> makeSupportedList();
std::unique_ptr<AdapterComponent> makeIdentity();
std::unique_ptr<AdapterComponent> makeMacRegisters();
std::unique_ptr<AdapterComponent> makeLink();
std::unique_ptr<AdapterComponent> makeNdisInfo();
std::unique_ptr<AdapterComponent> makeStatistics();
std::unique_ptr<AdapterComponent> makePacketFilter();
std::unique_ptr<AdapterComponent> makeDriverLoopback();
std::unique_ptr<AdapterComponent> makeFramePort();
std::unique_ptr<AdapterComponent> makeSelfTestAnswers();
std::unique_ptr<AdapterComponent> makeInterruptCounter();
std::unique_ptr<AdapterComponent> makeWakeupPatterns();
std::unique_ptr<AdapterComponent> makeSerialEeprom();
std::unique_ptr<AdapterComponent> makeVlanTag();

}  // namespace kv::sim
