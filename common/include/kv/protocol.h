// What crosses the protocol driver's channel: the device path, the five control codes and the
// command ids. Shared by the library and by the simulated protocol driver that answers it.
#pragma once

#include <cstdint>

namespace kv::protocol {

inline constexpr char16_t kDevicePath[] = u"\\\\.\\\\TvNdPt60";
inline constexpr char16_t kServiceName[] = u"TvNdPt60";

// The older protocol driver, which the suite uses on Windows 5.x in place of the NDIS 6 one: the
// same requests and frames, under its own service and device. Its file goes into the system's
// driver directory ("System32\Drivers").
inline constexpr char16_t kOlderDevicePath[] = u"\\\\.\\\\NPROBE";
inline constexpr char16_t kOlderServiceName[] = u"NPROBE";
inline constexpr char16_t kOlderDriverFile[] = u"diag50xp.sys";

struct ProtocolDriverNames {
    const char16_t* devicePath;
    const char16_t* serviceName;
    const char16_t* driverFile;  // empty: installed with its own package, nothing to check
};

// The protocol driver of a Windows version: the older one on NT 5.x, the NDIS 6 one otherwise.
constexpr ProtocolDriverNames protocolDriverFor(uint32_t platformId, uint32_t majorVersion) {
    constexpr uint32_t kPlatformNt = 2;
    if (platformId == kPlatformNt && majorVersion == 5) return {kOlderDevicePath, kOlderServiceName, kOlderDriverFile};
    return {kDevicePath, kServiceName, u""};
}

// "\DEVICE\" in front of every adapter device name.
inline constexpr unsigned kDeviceNamePrefixLength = 8;

// Buffered-method codes of the network device type (0x12) with read-and-write access.
constexpr uint32_t controlCode(uint32_t function) { return (0x12u << 16) | (3u << 14) | (function << 2); }
inline constexpr uint32_t IOCTL_PROT_OPEN_DEVICE = controlCode(0x200);
inline constexpr uint32_t IOCTL_PROT_QUERY_OID = controlCode(0x201);
inline constexpr uint32_t IOCTL_PROT_QUERY_BINDING = controlCode(0x203);
inline constexpr uint32_t IOCTL_PROT_BIND_WAIT = controlCode(0x204);
inline constexpr uint32_t IOCTL_PROT_SET_OID = controlCode(0x205);
static_assert(IOCTL_PROT_OPEN_DEVICE == 0x0012C800);
static_assert(IOCTL_PROT_QUERY_OID == 0x0012C804);
static_assert(IOCTL_PROT_QUERY_BINDING == 0x0012C80C);
static_assert(IOCTL_PROT_BIND_WAIT == 0x0012C810);
static_assert(IOCTL_PROT_SET_OID == 0x0012C814);

// Size of the enumeration reply buffer and of its fixed header.
inline constexpr uint32_t kBindingReplyBytes = 2048;
inline constexpr uint32_t kBindingQueryBytes = 20;
// Command id and port number in front of every command request's data.
inline constexpr uint32_t kOidHeaderBytes = 8;

// Standard NDIS ids.
inline constexpr uint32_t OID_GEN_SUPPORTED_LIST = 0x00010101;
inline constexpr uint32_t OID_GEN_HARDWARE_STATUS = 0x00010102;
inline constexpr uint32_t OID_GEN_LINK_SPEED = 0x00010107;
inline constexpr uint32_t OID_GEN_VENDOR_DESCRIPTION = 0x0001010D;
inline constexpr uint32_t OID_GEN_CURRENT_PACKET_FILTER = 0x0001010E;
inline constexpr uint32_t OID_GEN_MEDIA_CONNECT_STATUS = 0x00010114;
inline constexpr uint32_t OID_GEN_LINK_STATE = 0x00010207;
inline constexpr uint32_t OID_GEN_VLAN_ID = 0x0001021C;
inline constexpr uint32_t OID_GEN_XMIT_OK = 0x00020101;
inline constexpr uint32_t OID_GEN_RCV_OK = 0x00020102;
inline constexpr uint32_t OID_GEN_XMIT_ERROR = 0x00020103;
inline constexpr uint32_t OID_GEN_RCV_ERROR = 0x00020104;
inline constexpr uint32_t OID_GEN_RCV_NO_BUFFER = 0x00020105;
inline constexpr uint32_t OID_GEN_STATISTICS = 0x00020106;
inline constexpr uint32_t OID_802_3_CURRENT_ADDRESS = 0x01010102;
inline constexpr uint32_t OID_802_3_XMIT_ONE_COLLISION = 0x01020102;

// The maker's private ids.
inline constexpr uint32_t OID_TVX_PCI_CONFIG = 0xFF442001;
inline constexpr uint32_t OID_TVX_MAC_REG_TEST = 0xFF442002;
inline constexpr uint32_t OID_TVX_EEPROM_TEST = 0xFF442003;
inline constexpr uint32_t OID_TVX_LOOPBACK_START = 0xFF442004;
inline constexpr uint32_t OID_TVX_LOOPBACK_RESULT = 0xFF442005;
inline constexpr uint32_t OID_TVX_ENABLE_DIAG = 0xFF442006;
inline constexpr uint32_t OID_TVX_ADAPTER_INFO = 0xFF444001;
inline constexpr uint32_t OID_TVX_WRITE_PHY = 0xFF444003;
inline constexpr uint32_t OID_TVX_WRITE_MAC_REG = 0xFF444005;
inline constexpr uint32_t OID_TVX_NWAY_RESTART = 0xFF444006;
inline constexpr uint32_t OID_TVX_READ_PHY = 0xFF444009;
inline constexpr uint32_t OID_TVX_READ_MAC_REG = 0xFF44400A;
inline constexpr uint32_t OID_TVX_PHY_DIAG_START = 0xFF44400B;
inline constexpr uint32_t OID_TVX_PHY_DIAG_END = 0xFF44400C;
inline constexpr uint32_t OID_TVX_WRITE_PHY_WORD = 0xFF44400D;
inline constexpr uint32_t OID_TVX_READ_PHY_WORD = 0xFF44400E;
inline constexpr uint32_t OID_TVX_CLEAR_ISR_COUNTER = 0xFF444010;
inline constexpr uint32_t OID_TVX_GET_ISR_COUNTER = 0xFF444011;
inline constexpr uint32_t OID_TVX_WAKEUP_PATTERN_LEN = 0xFF444012;
inline constexpr uint32_t OID_TVX_WAKEUP_PATTERN_WRITE = 0xFF444013;
inline constexpr uint32_t OID_TVX_WAKEUP_PATTERN_READ = 0xFF444014;
// Answered by the library from OID_GEN_STATISTICS; never sent.
inline constexpr uint32_t OID_TVX_BYTES_XMIT = 0xFF445001;
inline constexpr uint32_t OID_TVX_BYTES_RCV = 0xFF445002;

// The driver's 40-byte adapter record (OID_TVX_ADAPTER_INFO): ten little-endian u32 fields.
namespace adapter_record {
inline constexpr uint32_t kBytes = 40;
inline constexpr uint32_t kBus = 0;
inline constexpr uint32_t kSlot = 4;
inline constexpr uint32_t kIoAddress = 8;
inline constexpr uint32_t kInterruptNumber = 12;
inline constexpr uint32_t kMemoryAddress = 16;
inline constexpr uint32_t kVendorId = 20;
inline constexpr uint32_t kDeviceId = 24;
inline constexpr uint32_t kSubVendorId = 28;
inline constexpr uint32_t kSubSystemId = 32;
inline constexpr uint32_t kRevisionId = 36;
}  // namespace adapter_record

// The controller's register window as OID_TVX_READ_MAC_REG and OID_TVX_WRITE_MAC_REG reach it:
// operands (u16 offset, u16 count) at data offsets 0 and 2, register bytes from data offset 4.
inline constexpr uint32_t kMacRegisterWindowBytes = 1024;
inline constexpr uint32_t kMacRegisterBytesOffset = 4;
inline constexpr uint32_t kReadMacRegRequestBytes = 1036;
inline constexpr uint32_t kWriteMacRegRequestBytes = 18;
// The PCI configuration space OID_TVX_PCI_CONFIG returns.
inline constexpr uint32_t kPciConfigBytes = 1024;

// The diagnostic-mode access value the miniport driver expects with OID_TVX_ENABLE_DIAG.
inline constexpr uint16_t kDiagAccessWord0 = 0x1D7A;
inline constexpr uint16_t kDiagAccessWord1 = 0xD1A6;

// The library's own frame type, stored little-endian in bytes 12-13 of its frames.
inline constexpr uint16_t kTestFrameType = 0x1D7A;

// Packet filter bits.
inline constexpr uint32_t kFilterDirected = 0x01;
inline constexpr uint32_t kFilterBroadcast = 0x08;
inline constexpr uint32_t kFilterPromiscuous = 0x20;

// The maker's VLAN miniport: the hardware id of its virtual adapters (devices of the class "Net")
// and the REG_SZ values of their driver keys it reads when it starts: the VLAN ID in decimal and
// the NetCfgInstanceId of the physical adapter the VLAN belongs to.
inline constexpr char16_t kVlanHardwareId[] = u"tvx_vlan";
inline constexpr char16_t kVlanIdValue[] = u"VlanID";
inline constexpr char16_t kVlanParentValue[] = u"ParentNetCfgInstanceId";
// The IDs a VLAN can have (IEEE 802.1Q; 0 tags no VLAN, 4095 is reserved).
inline constexpr uint32_t kLowestVlanId = 1;
inline constexpr uint32_t kHighestVlanId = 4094;

}  // namespace kv::protocol
