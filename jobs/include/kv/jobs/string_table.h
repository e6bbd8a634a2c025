// The suite's string table: every user-visible text of the pages and the tray menu, by id, as the
// utility's resources hold it (8-bit text). The jobs' texts, and so the command line's, are the
// pages' own.
#pragma once

#include <string>
#include <string_view>

namespace kv::jobs {

// The text of string `id` (8-bit, as the resource holds it); empty for an id the table lacks.
std::string_view stringResource(int id);
// The same as UTF-8.
std::string resourceText(int id);

// The ids, by the page that shows them.
namespace ids {
namespace driver {
inline constexpr int kDescription = 1, kProvider = 2, kVersion = 3, kDate = 4, kInfPath = 5, kBinaryPath = 6;
}
namespace general {
inline constexpr int kMacAddress = 7, kIpAddress = 8, kConnectionName = 9, kVlanId = 10, kLinkStatus = 11;
inline constexpr int kSpeed10 = 12, kSpeed100 = 13, kSpeed1000 = 14, kSpeedUnknown = 15;
inline constexpr int kDuplexMode = 16, kFullDuplex = 17, kHalfDuplex = 18, kDisconnected = 19;
inline constexpr int kDeviceLocation = 20, kVendorId = 21, kDeviceId = 22, kSubVendorId = 23, kSubSystemId = 24;
inline constexpr int kRevisionId = 25, kIoAddress = 26, kMemoryAddress = 27, kInterruptNumber = 28;
}  // namespace general
namespace cable {
inline constexpr int kNormal = 29, kShort = 30, kOpen = 31, kUnknownLength = 32;
inline constexpr int kPairColumn = 33, kLengthColumn = 34, kStatusColumn = 35;
}  // namespace cable
namespace diagnostics {
inline constexpr int kTestItemColumn = 40, kPassColumn = 41, kFailColumn = 42;
inline constexpr int kAdapterNotReady = 75, kUnbinding = 76, kBinding = 77, kReloading = 78;
inline constexpr int kNoErrors = 80, kOneError = 81, kErrors = 82;
}  // namespace diagnostics
// Each self-test's texts: its row, its info tip, its name in the "Testing on" status, its failure.
namespace selftest {
inline constexpr int kRegisterName = 43, kRegisterTip = 44, kRegisterDisplay = 45, kRegisterFailure = 46;
inline constexpr int kEepromName = 74, kEepromTip = 47, kEepromDisplay = 48, kEepromFailure = 49;
inline constexpr int kLoopbackName = 54, kLoopbackTip = 55, kLoopbackDisplay = 56, kLoopbackFailure = 57;
inline constexpr int kMacLoopbackName = 58, kMacLoopbackTip = 59, kMacLoopbackDisplay = 60, kMacLoopbackFailure = 61;
inline constexpr int kPhyLoopbackName = 62, kPhyLoopbackTip = 63, kPhyLoopbackDisplay = 64, kPhyLoopbackFailure = 65;
inline constexpr int kIrqName = 66, kIrqTip = 67, kIrqDisplay = 68, kIrqFailure = 69;
inline constexpr int kFifoName = 70, kFifoTip = 71, kFifoDisplay = 72, kFifoFailure = 73;
}  // namespace selftest
namespace statistics {
inline constexpr int kPacketSent = 83, kPacketReceived = 84, kErrorSend = 85, kErrorReceive = 86;
inline constexpr int kThroughputSend = 87, kThroughputReceive = 88, kThroughputTotal = 89;
}  // namespace statistics
namespace vlan {
inline constexpr int kVlanIdColumn = 90, kConnectionNameColumn = 91, kAdapterNameColumn = 92;
}
namespace tray {
inline constexpr int kRemoveTrayIcon = 93, kShowTrayIcon = 94, kEnableStartUp = 95, kDisableStartUp = 96;
}
namespace green {
inline constexpr int kDisable = 97, kUnlink = 98, kNormal = 99, kEnable = 100, kStage1 = 101;
}
}  // namespace ids

}  // namespace kv::jobs
