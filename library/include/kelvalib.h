/*
 * Kelvalib: the diagnostic library's exported C interface.
 *
 * Every export returns 1 for success and 0 for failure unless its comment says otherwise, and
 * writes its outputs only on success. Text exports come in pairs: _W (UTF-16) and _A (8-bit ANSI
 * code page). Records are caller-allocated and library-filled; their layouts are fixed.
 */
#ifndef KELVALIB_H
#define KELVALIB_H

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
typedef wchar_t KV_WCHAR;
typedef HANDLE KV_HANDLE;
typedef HKEY KV_HKEY;
#ifdef KELVALIB_BUILD
#define KV_EXPORT __declspec(dllexport)
#else
#define KV_EXPORT __declspec(dllimport)
#endif
#else
#ifdef __cplusplus
typedef char16_t KV_WCHAR;
#else
typedef uint_least16_t KV_WCHAR;
#endif
typedef void* KV_HANDLE;
typedef void* KV_HKEY;
#define KV_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
#define KV_API extern "C" KV_EXPORT
#else
#define KV_API KV_EXPORT
#endif

/* A byte-sized boolean: 1 true, 0 false. */
typedef unsigned char KV_BOOL8;

#define KV_MAX_ADAPTERS 64
#define KV_DESCRIPTION_CHARS 260
#define KV_TEXT_CHARS 260
#define KV_BINARY_SLOTS 16

#pragma pack(push, 1)
/* The buffer of every command request to the protocol driver; the data area runs on past Data[3]
 * for commands with larger operands or results (12 + n bytes for an n-byte result). */
typedef struct OidRequest {
    uint32_t Oid;
    uint32_t PortNumber; /* always 0 */
    uint8_t Data[4];
} OidRequest;

/* The enumeration request; the driver's reply fills a 2048-byte buffer that starts with it. */
typedef struct BindingQuery {
    uint32_t BindingIndex;
    uint32_t DeviceNameOffset;
    uint32_t DeviceNameLength;
    uint32_t DeviceDescrOffset;
    uint32_t DeviceDescrLength;
} BindingQuery;
#pragma pack(pop)

/* The adapters the protocol driver is bound to. Each description ends with a line feed. */
typedef struct AdapterList_W {
    uint32_t Count;
    uint32_t Current;
    KV_WCHAR Description[KV_MAX_ADAPTERS][KV_DESCRIPTION_CHARS];
    int32_t ParentIndex[KV_MAX_ADAPTERS];
} AdapterList_W;

typedef struct AdapterList_A {
    uint32_t Count;
    uint32_t Current;
    char Description[KV_MAX_ADAPTERS][KV_DESCRIPTION_CHARS];
    int32_t ParentIndex[KV_MAX_ADAPTERS];
} AdapterList_A;

/* The current adapter's address, chip class and PCI identity and resources. */
typedef struct AdapterInfo {
    uint8_t MacAddress[6];
    uint32_t ChipClass; /* 2: 4420 class, 4: 4410/4440, 8: 4430/4450, 0: other */
    uint32_t Bus;
    uint32_t Slot;
    uint32_t IoAddress;
    uint32_t InterruptNumber;
    uint32_t MemoryAddress;
    uint16_t VendorId;
    uint16_t DeviceId;
    uint16_t SubVendorId;
    uint16_t SubSystemId;
    uint8_t RevisionId;
} AdapterInfo;

/* The miniport driver's description, version, provider, date, INF path and binary. */
typedef struct DriverInfo_W {
    KV_WCHAR DriverDesc[KV_TEXT_CHARS];
    KV_WCHAR DriverVersion[KV_TEXT_CHARS];
    KV_WCHAR ProviderName[KV_TEXT_CHARS];
    KV_WCHAR DriverDate[KV_TEXT_CHARS];
    KV_WCHAR InfPath[KV_TEXT_CHARS];
    KV_WCHAR BinaryName[KV_TEXT_CHARS];
} DriverInfo_W;

typedef struct DriverInfo_A {
    char DriverDesc[KV_TEXT_CHARS];
    char DriverVersion[KV_TEXT_CHARS];
    char ProviderName[KV_TEXT_CHARS];
    char DriverDate[KV_TEXT_CHARS];
    char InfPath[KV_TEXT_CHARS];
    char BinaryName[KV_BINARY_SLOTS][KV_TEXT_CHARS];
    uint32_t BinaryCount; /* slots 0 .. BinaryCount - 1 are filled */
} DriverInfo_A;

typedef AdapterList_W AdapterList;
typedef DriverInfo_W DriverInfo;

#ifdef __cplusplus
#define KV_STATIC_ASSERT static_assert
#else
#define KV_STATIC_ASSERT _Static_assert
#endif
KV_STATIC_ASSERT(sizeof(KV_WCHAR) == 2, "UTF-16 code units");
KV_STATIC_ASSERT(sizeof(OidRequest) == 12, "OidRequest");
KV_STATIC_ASSERT(offsetof(OidRequest, PortNumber) == 4, "OidRequest.PortNumber");
KV_STATIC_ASSERT(offsetof(OidRequest, Data) == 8, "OidRequest.Data");
KV_STATIC_ASSERT(sizeof(BindingQuery) == 20, "BindingQuery");
KV_STATIC_ASSERT(offsetof(BindingQuery, DeviceDescrLength) == 16, "BindingQuery.DeviceDescrLength");
KV_STATIC_ASSERT(offsetof(AdapterList_W, Description) == 8, "AdapterList_W.Description");
KV_STATIC_ASSERT(offsetof(AdapterList_W, ParentIndex) == 8 + 64 * 260 * 2, "AdapterList_W.ParentIndex");
KV_STATIC_ASSERT(sizeof(AdapterList_W) == 8 + 64 * 260 * 2 + 64 * 4, "AdapterList_W");
KV_STATIC_ASSERT(offsetof(AdapterList_A, ParentIndex) == 8 + 64 * 260, "AdapterList_A.ParentIndex");
KV_STATIC_ASSERT(sizeof(AdapterList_A) == 8 + 64 * 260 + 64 * 4, "AdapterList_A");
KV_STATIC_ASSERT(offsetof(AdapterInfo, ChipClass) == 8, "AdapterInfo.ChipClass");
KV_STATIC_ASSERT(offsetof(AdapterInfo, MemoryAddress) == 28, "AdapterInfo.MemoryAddress");
KV_STATIC_ASSERT(offsetof(AdapterInfo, VendorId) == 32, "AdapterInfo.VendorId");
KV_STATIC_ASSERT(offsetof(AdapterInfo, SubSystemId) == 38, "AdapterInfo.SubSystemId");
KV_STATIC_ASSERT(offsetof(AdapterInfo, RevisionId) == 40, "AdapterInfo.RevisionId");
KV_STATIC_ASSERT(sizeof(AdapterInfo) == 44, "AdapterInfo");
KV_STATIC_ASSERT(sizeof(DriverInfo_W) == 6 * 260 * 2, "DriverInfo_W");
KV_STATIC_ASSERT(offsetof(DriverInfo_A, BinaryName) == 5 * 260, "DriverInfo_A.BinaryName");
KV_STATIC_ASSERT(offsetof(DriverInfo_A, BinaryCount) == 21 * 260, "DriverInfo_A.BinaryCount");
KV_STATIC_ASSERT(sizeof(DriverInfo_A) == 21 * 260 + 4, "DriverInfo_A");

/* ---- Driver channel ---------------------------------------------------------------------- */
/* Opens the protocol driver's device and waits for its bindings. 1 when the handle is valid. */
KV_API int API_Open(void);
/* Closes the channel if it is open. Always 1. */
KV_API int API_Close(void);
/* The channel handle, for callers that read and write frames on it themselves. */
KV_API KV_HANDLE GetProtocolHandle(void);
/* 1 when the channel is open. */
KV_API int API_IsPlug(void);

/* ---- Adapter list and selection ---------------------------------------------------------- */
/* Lists the bound adapters (at most 10) and selects adapter 0. 0 for a null list or when the
 * enumeration ended abnormally. */
KV_API int API_GetAdapterList_W(AdapterList_W* list);
KV_API int API_GetAdapterList_A(AdapterList_A* list);
/* Makes adapter `index` the current one: reopens the channel, opens the adapter, switches its
 * driver into diagnostic mode. The process exits with -1 when the driver reports it busy. */
KV_API int API_SetCurrAdaptIdx(int index);
/* Selects the first adapter whose description starts with the maker's name; 0 when none. */
KV_API int API_HPSetIndex(void);
/* Switches the current adapter's driver into its diagnostic mode. */
KV_API int API_EnableTVXDiag(void);
/* Retries selecting the current adapter, 500 ms apart, up to 20 times. */
KV_API int API_CheckCardPresent(void);

/* ---- Adapter, register and link access ---------------------------------------------------- */
/* The first 1024 bytes of the current adapter's PCI configuration space. */
KV_API int GetPciConfigSpace(uint8_t* config1024);
/* `count` bytes (at most 1024) of the controller's registers from `offset`. */
KV_API int GetMacReg(uint16_t offset, uint16_t count, uint8_t* out);
/* Writes `count` (1 or 2) value bytes to the controller's registers at `offset`. */
KV_API int WriteMacReg(uint16_t offset, uint16_t count, const uint8_t* value);
/* The byte at `offset` of the current adapter's register space. */
KV_API int ReadPortUchar(uint16_t offset, uint8_t* value);
/* The media-connect state: 0 connected, 1 disconnected. */
KV_API int IsLink(int* status);
/* 1 when the link is up; 0 when it is down or the query failed. */
KV_API int API_IsLink(void);
KV_API int API_GetSrcMac(uint8_t* mac6);
/* Link speed in Mbit/s (10, 100, 1000). */
KV_API int API_GetLinkSpeed(uint32_t* mbps);
/* 0 undetermined, 1 half, 2 full. */
KV_API int API_GetDuplexMode(int* duplex);
/* The driver's 40-byte adapter record. */
KV_API int API_TVGetAdapterInfo(uint8_t* record40);
/* 0 only when the MAC address cannot be read; a failed record query fills all ones. */
KV_API int API_GetAdapterInfo(AdapterInfo* info);
/* The adapter's IPv4 address from the system's adapter table, first octet first. Always 1. */
KV_API int API_GetIPAddress(uint8_t* ip4);
/* 1 when the current adapter answers the MAC-address query. */
KV_API int API_IsCurrAdapterAlive(void);

/* ---- Driver information, registry and OIDs ------------------------------------------------- */
/* Always 1; a field whose read fails is left as it was. */
KV_API int API_GetDriverInfo_W(DriverInfo_W* info);
KV_API int API_GetDriverInfo_A(DriverInfo_A* info);
/* Opens `subKey` under the adapter's driver key (write access when `writable`); the caller
 * closes the key. */
KV_API int API_GetRegHKey_W(KV_HKEY* key, const KV_WCHAR* subKey, int writable);
KV_API int API_GetRegHKey_A(KV_HKEY* key, const char* subKey, int writable);
/* The adapter's connection name ("Local Area Connection"). */
KV_API int API_GetConnName_W(KV_WCHAR* name, int size);
KV_API int API_GetConnName_A(char* name, int size);
/* Queries any OID; 0xFF445001 / 0xFF445002 answer the bytes sent / received counters. */
KV_API int API_GetOID(uint32_t oid, void* out, uint32_t length, uint32_t* outLength);
/* Sets any OID with up to 8 value bytes. */
KV_API int API_SetOID(uint32_t oid, const void* value, uint32_t length);
/* The 152-byte NDIS statistics record. */
KV_API int API_GetStatistics(uint8_t* statistics152);
KV_API int API_GetHWStatus(int* status);
/* The 50 bytes of the driver's vendor description. */
KV_API int API_GetDriverDescription(uint8_t* description50);
/* Frames sent after one collision. */
KV_API int API_GetTXRetryCount(int* count);

/* ---- VLANs -------------------------------------------------------------------------------- */
/* A VLAN is a virtual adapter of its own, listed like any adapter; its AdapterList entry's
 * ParentIndex names the entry of the physical adapter it belongs to. VLAN IDs run from 1 to 4094.
 * These calls select adapters and install devices: callers must not run them while another
 * library call is in progress on another thread. */
/* The current adapter's VLAN ID (OID_GEN_VLAN_ID) in the low 16 bits: 0 for a physical adapter
 * that tags no VLAN. 0 (nothing stored) when the driver refuses the query, as a driver without
 * VLAN support does. */
KV_API int API_GetVID(uint32_t* vlanId);
/* Adds a VLAN with this ID to the current (physical) adapter and waits, up to one minute, until
 * its virtual adapter runs; list the adapters again to see it. 0 for an ID out of range, a VLAN
 * adapter or a driver without VLAN support as the current adapter, or an install that fails or
 * does not finish in time (nothing is left installed then). */
KV_API int API_AddVlan(uint32_t vlanId);
/* Uninstalls the VLAN of AdapterList entry `adapterIndex`; 0 when that entry is no VLAN. */
KV_API int API_DelVlan(uint32_t adapterIndex);
/* Gives the VLAN of entry `adapterIndex` a new ID: selects that adapter, sets OID_GEN_VLAN_ID,
 * keeps the ID in the VLAN's driver key, and selects the previous adapter again (each selection
 * as API_SetCurrAdaptIdx, with its messages). */
KV_API int API_ModifyVID(uint32_t adapterIndex, uint16_t vlanId);

/* ---- TCP/IP settings ---------------------------------------------------------------------- */
/* The current adapter's TCP/IP interface settings in the registry. Address mode: 0 static, 1
 * DHCP. Addresses are 4 bytes in dotted order; 0.0.0.0 for none. New settings take effect when
 * the adapter restarts (API_ReloadMiniport). */
KV_API int API_GetNicTcpipAddr(int* mode, uint8_t* address4, uint8_t* mask4, uint8_t* gateway4, uint8_t* dns4);
/* Dotted strings, "" (or null) for none. 0, and nothing written, for a mode other than 0 or 1 or a
 * string that is not a dotted IPv4 address. API_SetNicTcpipAddr is the ANSI form under the name
 * the utility imports. */
KV_API int API_SetNicTcpipAddr_W(int mode, const KV_WCHAR* address, const KV_WCHAR* mask, const KV_WCHAR* gateway,
                                 const KV_WCHAR* dns);
KV_API int API_SetNicTcpipAddr_A(int mode, const char* address, const char* mask, const char* gateway, const char* dns);
KV_API int API_SetNicTcpipAddr(int mode, const char* address, const char* mask, const char* gateway, const char* dns);

/* ---- Driver checks, reload and protocol binding -------------------------------------------- */
/* 1 when the protocol driver's service exists and its device opens. */
KV_API int API_CheckProtDrvInst(void);
/* 1 when an adapter has ever passed the miniport check in this process. */
KV_API int API_CheckMiniportDrvInst(void);
/* Disables and enables the current adapter; 0 when a tool did not finish in time. */
KV_API int API_ReloadMiniport(void);
/* Records the other protocols bound to the current adapter. Always 1. */
KV_API int Chkbind_Ptl(void);
/* Unbinds the recorded protocols. Always 1. */
KV_API int Unbind_Ptl(void);
/* Binds the recorded protocols again. Always 1. */
KV_API int bind_Ptl(void);

/* ---- Hardware self-tests (1 pass, 0 fail) ------------------------------------------------- */
KV_API int API_MacRegisterTest(void);
KV_API int API_EEPROMTest(void);
KV_API int API_LoopbackTest(void);
KV_API int API_PHYLoopbackTest(void);
KV_API int API_DMABlockTest(void);
KV_API int API_FIFOTest(void);
KV_API int API_eLoopbackTest(void);
KV_API KV_BOOL8 CDMISRTest(void);
/* The interrupt count after a forced software interrupt, -1 when it cannot be read. */
KV_API int SWISRTest(void);
KV_API int CleanISRCounter(void);
/* The interrupt count, -1 on failure. */
KV_API int GetISRCounter(void);
/* 1 when the serial EEPROM holds an Ethernet address (words 7 to 9 not all zero). */
KV_API int API_ChkEEPROMExit(void);
/* The test runner's names: API_MACLoopbackTest runs API_LoopbackTest, API_CDMISRTest runs
 * CDMISRTest. */
KV_API int API_MACLoopbackTest(void);
KV_API int API_CDMISRTest(void);

/* ---- Raw frames and packet filter --------------------------------------------------------- */
/* Sends the 270-byte test frame carrying 256 data bytes to the adapter's own address. */
KV_API KV_BOOL8 DoWriteProcData(const uint8_t* data256);
/* Receives a test frame and copies its 256 data bytes. */
KV_API KV_BOOL8 DoReadProcData(uint8_t* data256);
/* Drains one frame that is already waiting. */
KV_API KV_BOOL8 DoReadProcDataIMD(uint8_t* data256);
/* Sends a peer test frame of kind 1 (kind == 1) or 2 (otherwise). */
KV_API int API_PTSendPkt(int kind, const uint8_t* peer6);
/* Waits up to 1000 ms for a peer test frame. */
KV_API int APT_PTRecvPkt(uint8_t* sender6, int* kind, int repliesOnly);
/* Sends 200 bytes of 0xFF (pattern 0) or counting bytes. */
KV_API int WAVSendPkt(int pattern);
/* Sets the packet filter to directed and broadcast (9). */
KV_API int API_SetPktFilter(void);
KV_API int API_SetPktFilterType(uint32_t filter);

/* ---- Wake-on-LAN and wake-up patterns ----------------------------------------------------- */
KV_API int API_SendMagicPacket(const uint8_t* target6);
KV_API int API_IPWakeUP(const uint8_t* ip4);
/* Always 1. */
KV_API int API_NetBIOSWakeUP(const char* name, int length);
/* The driver's wake-up pattern test length (0 to 516), or -1. */
KV_API int WakeupPtnRwTestLen(void);
KV_API KV_BOOL8 WakeupPtnWrite(const uint8_t* pattern, int length);
KV_API KV_BOOL8 WakeupPtnRead(uint8_t* pattern, int length);

/* ---- PHY and cable ------------------------------------------------------------------------ */
KV_API int API_ReadPHY(uint16_t page, uint16_t reg, uint16_t* value);
KV_API int API_WritePHY(uint16_t page, uint16_t reg, uint16_t value);
/* The register's value on the page register 31 selects; 0xFFFF on failure. */
KV_API uint16_t ReadPhyUshort(uint16_t reg);
KV_API int WritePhyUshort(uint16_t reg, uint16_t value);
KV_API int API_PHYDiagStart(void);
KV_API int API_PHYDiagEnd(void);
KV_API int API_NWAYReStart(void);
/* 1 crossed (MDIX), 0 straight. */
KV_API int API_IsMDIX(void);
/* Entries 0-3: status of pairs 1-2, 3-6, 4-5, 7-8 (0 normal, 1 short, 2 open, 3 other);
 * entries 4-7: their lengths in metres. 0 when the adapter is not present. */
KV_API int API_GetCableStatus(int32_t* result8);

/* ---- Green feature ------------------------------------------------------------------------ */
/* -1 no link, 0 off, 1-4 on with that cable-length stage. */
KV_API int GetGFStatus(void);
KV_API KV_BOOL8 EnableGreenFeature(void);
KV_API KV_BOOL8 DisableGreenFeature(void);

#endif /* KELVALIB_H */
