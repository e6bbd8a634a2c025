// Layouts of the NDIS records that cross the protocol driver's channel: the link-state record of
// OID_GEN_LINK_STATE and the statistics record of OID_GEN_STATISTICS, with the values of their
// state fields. Shared by the library and the simulated miniport.
#pragma once

#include <cstdint>

namespace kv::ndis {

// NDIS_OBJECT_HEADER: u8 Type, u8 Revision, u16 Size.
inline constexpr uint8_t kObjectTypeDefault = 0x80;

// NDIS_MEDIA_STATE, the answer of OID_GEN_MEDIA_CONNECT_STATUS.
inline constexpr uint32_t kMediaStateConnected = 0;
inline constexpr uint32_t kMediaStateDisconnected = 1;

// NDIS_HARDWARE_STATUS, the answer of OID_GEN_HARDWARE_STATUS.
inline constexpr uint32_t kHardwareStatusReady = 0;
inline constexpr uint32_t kHardwareStatusInitializing = 1;
inline constexpr uint32_t kHardwareStatusReset = 2;
inline constexpr uint32_t kHardwareStatusClosing = 3;
inline constexpr uint32_t kHardwareStatusNotReady = 4;

// NDIS_LINK_STATE, revision 1.
namespace link_state {
inline constexpr uint32_t kBytes = 40;
inline constexpr uint8_t kRevision = 1;
inline constexpr uint32_t kMediaConnectState = 4;      // u32: 0 unknown, 1 connected, 2 disconnected
inline constexpr uint32_t kMediaDuplexState = 8;       // u32: 0 unknown, 1 half, 2 full
inline constexpr uint32_t kXmitLinkSpeed = 16;         // u64, bit/s
inline constexpr uint32_t kRcvLinkSpeed = 24;          // u64, bit/s
inline constexpr uint32_t kPauseFunctions = 32;        // u32
inline constexpr uint32_t kAutoNegotiationFlags = 36;  // u32

inline constexpr uint32_t kConnectUnknown = 0;
inline constexpr uint32_t kConnected = 1;
inline constexpr uint32_t kDisconnected = 2;
inline constexpr uint64_t kSpeedUnknown = ~uint64_t{0};
inline constexpr uint32_t kPauseSendAndReceive = 3;
inline constexpr uint32_t kXmitSpeedAutoNegotiated = 0x1;
inline constexpr uint32_t kRcvSpeedAutoNegotiated = 0x2;
inline constexpr uint32_t kDuplexAutoNegotiated = 0x4;
}  // namespace link_state

// NDIS_STATISTICS_INFO, revision 1: header, u32 SupportedStatistics, then eighteen u64 counters.
namespace statistics {
inline constexpr uint32_t kBytes = 152;
inline constexpr uint8_t kRevision = 1;
inline constexpr uint32_t kSupportedStatistics = 4;
inline constexpr uint32_t kInDiscards = 8;
inline constexpr uint32_t kInErrors = 16;
inline constexpr uint32_t kInOctets = 24;
inline constexpr uint32_t kInUcastPkts = 32;
inline constexpr uint32_t kInMulticastPkts = 40;
inline constexpr uint32_t kInBroadcastPkts = 48;
inline constexpr uint32_t kOutOctets = 56;
inline constexpr uint32_t kOutUcastPkts = 64;
inline constexpr uint32_t kOutMulticastPkts = 72;
inline constexpr uint32_t kOutBroadcastPkts = 80;
inline constexpr uint32_t kOutErrors = 88;
inline constexpr uint32_t kOutDiscards = 96;
inline constexpr uint32_t kInUcastOctets = 104;
inline constexpr uint32_t kInMulticastOctets = 112;
inline constexpr uint32_t kInBroadcastOctets = 120;
inline constexpr uint32_t kOutUcastOctets = 128;
inline constexpr uint32_t kOutMulticastOctets = 136;
inline constexpr uint32_t kOutBroadcastOctets = 144;
static_assert(kOutBroadcastOctets + 8 == kBytes);

// SupportedStatistics flags of the eighteen counters.
inline constexpr uint32_t kValidAll = 0x00000001 | 0x00000002 | 0x00000004 | 0x00000008 | 0x00000010 | 0x00000020 |
                                      0x00000040 | 0x00000080 | 0x00000100 | 0x00000200 | 0x00000400 | 0x00008000 |
                                      0x00010000 | 0x00020000 | 0x00040000 | 0x00080000 | 0x00100000 | 0x00200000;
}  // namespace statistics

}  // namespace kv::ndis
