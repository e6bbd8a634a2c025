// The embedded default machine, written out on first run when no machine directory exists yet:
// a Windows Vista SP2 desktop with three adapters of the maker's family and one of another maker,
// on a segment with a file server and a sleeping workshop computer.
#include <fstream>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "kv/sim/atomic_file.h"
#include "kv/sim/host.h"
#include "kv/sim/json.h"
#include "kv/sim/machine_lock.h"

namespace kv::sim {

namespace {

constexpr char kMachineJson[] = R"json({
  "name": "Default workstation",
  "os": { "platform": "nt", "major": 6, "minor": 0, "build": 6002, "servicePack": "Service Pack 2", "wow64": false },
  "protocolDriver": { "installed": true, "running": true },
  "tools": { "tvxbind": { "delayMs": 300 }, "nicctlv6": { "delayMs": 1000 }, "cmd": { "delayMs": 50 } },
  "wire": {
    "peers": [
      { "mac": "00-1D-7A-44-50-99", "ip": "192.168.1.50", "name": "WORKSHOP-PC", "asleep": true },
      { "mac": "00-0C-29-3A-10-01", "ip": "192.168.0.1", "name": "FILESERVER" }
    ]
  },
  "adapters": [
    {
      "guid": "{6F1C2B3A-4450-4C1D-9A7E-1D7A44500001}",
      "description": "Tavrick PCI-E Gigabit Ethernet Controller 4450",
      "mac": "00-1D-7A-44-50-01",
      "pci": { "vendor": "0x1D7A", "device": "0x4450", "subVendor": "0x1D7A", "subSystem": "0x0450",
               "revision": 1, "bus": 2, "slot": 0, "io": "0xD000", "memory": "0xFE9F0000", "irq": 17 },
      "link": { "up": true, "speed": 1000, "duplex": "full" },
      "phy": { "mdix": true },
      "cable": { "length": 42 },
      "ip": { "address": "192.168.1.20", "mask": "255.255.255.0", "gateway": "192.168.1.1", "dhcp": true },
      // --- VLANs: two 802.1Q VLANs on this adapter, each a virtual adapter of its own
      "vlans": [ { "id": 10, "connectionName": "Local Area Connection 5" },
                 { "id": 20, "connectionName": "Local Area Connection 6" } ],
      // --- end VLANs
      "statistics": {
        "rxBytesPerSecond": 1250000, "txBytesPerSecond": 310000,
        "rxFramesPerSecond": 1100, "txFramesPerSecond": 480,
        "rxMulticastFramesPerSecond": 3, "rxBroadcastFramesPerSecond": 6,
        "start": { "rxBytes": 734003200, "txBytes": 91226112, "rxFrames": 612034, "txFrames": 240118,
                   "rxBroadcastFrames": 5210, "txErrors": 2 }
      }
    },
    {
      "guid": "{0B9E4D22-4420-4E8F-8C31-1D7A44200002}",
      "description": "Tavrick PCI Fast Ethernet Adapter 4420",
      "mac": "00-1D-7A-44-20-02",
      "pci": { "vendor": "0x1D7A", "device": "0x4420", "subVendor": "0x1D7A", "subSystem": "0x0420",
               "revision": 16, "bus": 3, "slot": 5, "io": "0xC800", "memory": "0xFEAFF000", "irq": 19 },
      "link": { "up": true, "speed": 100, "duplex": "full" },
      "cable": { "length": 18 },
      "ip": { "address": "10.0.0.15", "mask": "255.255.255.0", "gateway": "10.0.0.1" },
      "statistics": { "rxBytesPerSecond": 48000, "txBytesPerSecond": 12500, "rxFramesPerSecond": 70,
                      "txFramesPerSecond": 40, "rxErrorsPerSecond": 0,
                      "start": { "rxBytes": 5242880, "txBytes": 1048576, "rxFrames": 8100, "txFrames": 3900,
                                 "rxErrors": 4 } }
    },
    {
      "guid": "{9D3A7E51-4440-47B2-A6D0-1D7A44400003}",
      "description": "Tavrick PCI-E Fast Ethernet Controller 4440",
      "mac": "00-1D-7A-44-40-03",
      "pci": { "vendor": "0x1D7A", "device": "0x4440", "subVendor": "0x1D7A", "subSystem": "0x0440",
               "revision": 2, "bus": 4, "slot": 0, "io": "0xB000", "memory": "0xFEBFF000", "irq": 18 },
      "link": { "up": false, "speed": 100, "duplex": "unknown" },
      "cable": { "length": 25, "pairs": [ {}, { "state": "open", "distance": 12 } ] },
      "registers": { "0x43": "0x3C" },
      "statistics": { "start": { "rxBytes": 20480, "txBytes": 8192, "rxFrames": 30, "txFrames": 12 } },
      "device": { "componentId": "PCI\\VEN_1D7A&DEV_4440&SUBSYS_04401D7A" }
    },
    {
      "guid": "{3C5F8A90-1234-4BCD-8E2F-5A0B2C3D0004}",
      "description": "Orrin Networks 10/100 PCI Adapter",
      "mac": "00-0C-29-5B-71-04",
      "pci": { "vendor": "0x8D21", "device": "0x1039", "subVendor": "0x8D21", "subSystem": "0x0001",
               "revision": 3, "bus": 5, "slot": 1, "io": "0xA000", "memory": "0xFECFF000", "irq": 16 },
      "link": { "up": true, "speed": 100, "duplex": "half" },
      // Another maker's miniport: the maker's private commands are unknown to it.
      "faults": { "noPrivateCommands": true },
      "ip": { "address": "192.168.1.34", "mask": "255.255.255.0", "gateway": "192.168.1.1", "dhcp": true },
      "statistics": { "rxBytesPerSecond": 2600, "txBytesPerSecond": 900, "rxFramesPerSecond": 9,
                      "txFramesPerSecond": 5, "txOneCollisionsPerSecond": 1,
                      "start": { "txOneCollisions": 57 } }
    }
  ],
  // The devices of the class "Net" in the device installer's order: a hidden WAN miniport first.
  "devices": [
    { "instanceId": "ROOT\\MS_NDISWANIP\\0000", "driverKey": "0004", "hidden": true },
    { "adapter": 0, "instanceId": "PCI\\VEN_1D7A&DEV_4450&SUBSYS_04501D7A&REV_01\\4&2B8F1C3A&0&00E4",
      "driverKey": "0000" },
    { "adapter": 1, "instanceId": "PCI\\VEN_1D7A&DEV_4420&SUBSYS_04201D7A&REV_10\\4&1A2B3C4D&0&28F0",
      "driverKey": "0001" },
    { "adapter": 2, "instanceId": "PCI\\VEN_1D7A&DEV_4440&SUBSYS_04401D7A&REV_02\\4&39D0E2F1&0&00E6",
      "driverKey": "0002" },
    { "adapter": 3, "instanceId": "PCI\\VEN_8D21&DEV_1039&SUBSYS_00018D21&REV_03\\4&11C5B7E2&0&08F0",
      "driverKey": "0003" }
  ]
}
)json";

// registry.reg: the driver keys of the devices, their "Ndi\params" descriptions of the advanced
// settings, and the connection names. Parameter descriptions are written once and placed under
// each driver key that offers them ("@KEY@" stands for that key).
constexpr char kClassKey[] =
    R"(HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Class\{4D36E972-E325-11CE-BFC1-08002BE10318})";
constexpr char kNetworkKey[] =
    R"(HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Network\{4D36E972-E325-11CE-BFC1-08002BE10318})";

constexpr char kSpeedDuplexGigabit[] = R"(
[@KEY@\Ndi\params\*SpeedDuplex]
"ParamDesc"="Speed & Duplex"
"type"="enum"
"default"="0"

[@KEY@\Ndi\params\*SpeedDuplex\enum]
"0"="Auto Negotiation"
"1"="10 Mbps Half Duplex"
"2"="10 Mbps Full Duplex"
"3"="100 Mbps Half Duplex"
"4"="100 Mbps Full Duplex"
"6"="1.0 Gbps Full Duplex"
)";

constexpr char kSpeedDuplexFast[] = R"(
[@KEY@\Ndi\params\*SpeedDuplex]
"ParamDesc"="Speed & Duplex"
"type"="enum"
"default"="0"

[@KEY@\Ndi\params\*SpeedDuplex\enum]
"0"="Auto Negotiation"
"1"="10 Mbps Half Duplex"
"2"="10 Mbps Full Duplex"
"3"="100 Mbps Half Duplex"
"4"="100 Mbps Full Duplex"
)";

constexpr char kJumboPacket[] = R"(
[@KEY@\Ndi\params\*JumboPacket]
"ParamDesc"="Jumbo Frame"
"type"="enum"
"default"="1514"

[@KEY@\Ndi\params\*JumboPacket\enum]
"1514"="Disabled"
"4088"="4KB MTU"
"9014"="9KB MTU"
)";

constexpr char kFlowControl[] = R"(
[@KEY@\Ndi\params\*FlowControl]
"ParamDesc"="Flow Control"
"type"="enum"
"default"="3"

[@KEY@\Ndi\params\*FlowControl\enum]
"0"="Disabled"
"1"="Tx Enabled"
"2"="Rx Enabled"
"3"="Rx & Tx Enabled"
)";

constexpr char kReceiveBuffers[] = R"(
[@KEY@\Ndi\params\*ReceiveBuffers]
"ParamDesc"="Receive Buffers"
"type"="int"
"default"="256"
"min"="64"
"max"="512"
"step"="8"
"base"="10"
)";

constexpr char kNetworkAddress[] = R"(
[@KEY@\Ndi\params\NetworkAddress]
"ParamDesc"="Network Address"
"type"="edit"
"default"=""
"LimitText"="12"
"UpperCase"="1"
"Optional"="1"
)";

struct DriverKey {
    const char* number;  // the subkey of the class key
    const char* guid;
    const char* description;
    const char* componentId;  // as .reg text: backslashes doubled
    const char* matchingDeviceId;
    const char* version;
    const char* date;
    const char* provider;
    const char* inf;
    const char* infSection;
    const char* service;
    const char* settings;  // the driver's values for its parameters, .reg lines
    std::initializer_list<const char*> params;
};

const DriverKey kDriverKeys[] = {
    {"0000",
     "{6F1C2B3A-4450-4C1D-9A7E-1D7A44500001}",
     "Tavrick PCI-E Gigabit Ethernet Controller 4450",
     R"(pci\\ven_1d7a&dev_4450&subsys_04501d7a)",
     R"(pci\\ven_1d7a&dev_4450&subsys_04501d7a)",
     "6.620.315.2011",
     "3-15-2011",
     "Tavrick",
     "oem7.inf",
     "TVX4450.ndi",
     "TVX60",
     "\"*SpeedDuplex\"=\"0\"\r\n\"*JumboPacket\"=\"1514\"\r\n\"*FlowControl\"=\"3\"\r\n\"*ReceiveBuffers\"=\"256\"\r\n",
     {kSpeedDuplexGigabit, kJumboPacket, kFlowControl, kReceiveBuffers, kNetworkAddress}},
    {"0001",
     "{0B9E4D22-4420-4E8F-8C31-1D7A44200002}",
     "Tavrick PCI Fast Ethernet Adapter 4420",
     R"(PCI\\VEN_1D7A&DEV_4420&SUBSYS_04201D7A)",
     R"(pci\\ven_1d7a&dev_4420&subsys_04201d7a)",
     "5.718.609.2008",
     "6-9-2008",
     "Tavrick",
     "oem4.inf",
     "TVX4420.ndi",
     "TVX42",
     "\"*SpeedDuplex\"=\"4\"\r\n\"*FlowControl\"=\"0\"\r\n\"NetworkAddress\"=\"001D7A442002\"\r\n",
     {kSpeedDuplexFast, kFlowControl, kNetworkAddress}},
    {"0002",
     "{9D3A7E51-4440-47B2-A6D0-1D7A44400003}",
     "Tavrick PCI-E Fast Ethernet Controller 4440",
     R"(pci\\ven_1d7a&dev_4440&subsys_04401d7a)",
     R"(pci\\ven_1d7a&dev_4440&subsys_04401d7a)",
     "6.210.1124.2009",
     "11-24-2009",
     "Tavrick",
     "oem3.inf",
     "TVX4440.ndi",
     "TVX60",
     "\"*SpeedDuplex\"=\"0\"\r\n\"*FlowControl\"=\"3\"\r\n\"*ReceiveBuffers\"=\"128\"\r\n",
     {kSpeedDuplexFast, kFlowControl, kReceiveBuffers, kNetworkAddress}},
    {"0003",
     "{3C5F8A90-1234-4BCD-8E2F-5A0B2C3D0004}",
     "Orrin Networks 10/100 PCI Adapter",
     R"(pci\\ven_8d21&dev_1039)",
     R"(pci\\ven_8d21&dev_1039)",
     "6.0.6000.16386",
     "6-21-2006",
     "Orrin Networks",
     "net8d21.inf",
     "ORN1039.ndi",
     "ORN1039",
     "\"*SpeedDuplex\"=\"0\"\r\n",
     {kSpeedDuplexFast}},
    {"0004",
     "{78032B7E-4968-42D3-9F37-287EA86C0AAA}",
     "WAN Miniport (IP)",
     "ms_ndiswanip",
     "ms_ndiswanip",
     "6.0.6000.16386",
     "6-21-2006",
     "Windows",
     "netrasa.inf",
     "Ndi-Mp-Ip",
     "NdisWan",
     "",
     {}},
};

struct Connection {
    const char* guid;
    const char* name;
    const char* instanceId;  // as .reg text
};

const Connection kConnections[] = {
    {"{6F1C2B3A-4450-4C1D-9A7E-1D7A44500001}", "Local Area Connection",
     R"(PCI\\VEN_1D7A&DEV_4450&SUBSYS_04501D7A&REV_01\\4&2B8F1C3A&0&00E4)"},
    {"{0B9E4D22-4420-4E8F-8C31-1D7A44200002}", "Local Area Connection 2",
     R"(PCI\\VEN_1D7A&DEV_4420&SUBSYS_04201D7A&REV_10\\4&1A2B3C4D&0&28F0)"},
    {"{9D3A7E51-4440-47B2-A6D0-1D7A44400003}", "Local Area Connection 3",
     R"(PCI\\VEN_1D7A&DEV_4440&SUBSYS_04401D7A&REV_02\\4&39D0E2F1&0&00E6)"},
    {"{3C5F8A90-1234-4BCD-8E2F-5A0B2C3D0004}", "Local Area Connection 4",
     R"(PCI\\VEN_8D21&DEV_1039&SUBSYS_00018D21&REV_03\\4&11C5B7E2&0&08F0)"},
};

std::string withCrLf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string replaceAll(std::string text, std::string_view what, std::string_view with) {
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + with.size()))
        text.replace(pos, what.size(), with);
    return text;
}

// The utility's installation: its settings key (tray icon off, the installation folder) and the
// Run key, without the utility's value (start-up launch off).
constexpr char kUtilityKeys[] =
    "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kelvadiag]\r\n"
    "\"ShowTrayIcon\"=\"0\"\r\n"
    "\"AppDir\"=\"C:\\\\Program Files\\\\Kelvadiag\"\r\n"
    "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n";

// The program file in the installation folder: the utility only looks for it.
constexpr char kProgramFile[] = "Kelvadiag program file of the simulated machine\r\n";

std::string registryText() {
    std::string reg = "Windows Registry Editor Version 5.00\r\n\r\n";
    reg += "[" + std::string(kClassKey) + "]\r\n@=\"Network adapters\"\r\n\"Class\"=\"Net\"\r\n";
    for (const DriverKey& k : kDriverKeys) {
        const std::string key = std::string(kClassKey) + "\\" + k.number;
        auto value = [](const char* name, const std::string& data) {
            return "\"" + std::string(name) + "\"=\"" + data + "\"\r\n";
        };
        reg += "\r\n[" + key + "]\r\n";
        reg += value("DriverDesc", k.description) + value("ProviderName", k.provider) +
               value("DriverVersion", k.version) + value("DriverDate", k.date) + value("InfPath", k.inf) +
               value("InfSection", k.infSection) + value("MatchingDeviceId", k.matchingDeviceId) +
               value("ComponentId", k.componentId) + value("NetCfgInstanceId", k.guid);
        reg += "\"Characteristics\"=dword:00000084\r\n\"*IfType\"=dword:00000006\r\n";
        reg += k.settings;
        reg += "\r\n[" + key + "\\Ndi]\r\n" + value("Service", k.service);
        reg +=
            "\r\n[" + key + "\\Ndi\\Interfaces]\r\n" + value("UpperRange", "ndis5") + value("LowerRange", "ethernet");
        if (k.params.size() != 0) reg += "\r\n[" + key + "\\Ndi\\params]\r\n";
        for (const char* p : k.params) reg += withCrLf(replaceAll(p, "@KEY@", key));
    }
    reg += kUtilityKeys;
    for (const Connection& c : kConnections) {
        reg += "\r\n[" + std::string(kNetworkKey) + "\\" + c.guid + "\\Connection]\r\n";
        reg += "\"Name\"=\"" + std::string(c.name) + "\"\r\n";
        reg += "\"PnpInstanceID\"=\"" + std::string(c.instanceId) + "\"\r\n";
        reg += "\"MediaSubType\"=dword:00000001\r\n";
    }
    return reg;
}

// INF files of C:\WINDOWS\INF: the maker's two driver packages and an inbox INF of the other maker,
// which names its files through the system's layout and has no "SourceDisksFiles" of its own.
constexpr char kOem3Inf[] = R"(; oem3.inf -- Tavrick PCI-E Ethernet Controllers 4450 and 4440
; Copyright (c) Tavrick

[Version]
Signature   = "$Windows NT$"
Class       = Net
ClassGUID   = {4D36E972-E325-11CE-BFC1-08002BE10318}
Provider    = %Tavrick%
CatalogFile = tvx60.cat
DriverVer   = 11/24/2009,6.210.1124.2009

[Manufacturer]
%Tavrick% = Tavrick, NTx86, NTamd64

[Tavrick.NTx86]
%TVX4450.DeviceDesc% = TVX4450.ndi, PCI\VEN_1D7A&DEV_4450&SUBSYS_04501D7A
%TVX4440.DeviceDesc% = TVX4440.ndi, PCI\VEN_1D7A&DEV_4440&SUBSYS_04401D7A

[Tavrick.NTamd64]
%TVX4450.DeviceDesc% = TVX4450.ndi, PCI\VEN_1D7A&DEV_4450&SUBSYS_04501D7A
%TVX4440.DeviceDesc% = TVX4440.ndi, PCI\VEN_1D7A&DEV_4440&SUBSYS_04401D7A

[TVX4450.ndi.NT]
Characteristics = 0x84          ; NCF_HAS_UI | NCF_PHYSICAL
BusType         = 5             ; PCI
AddReg          = TVX60.reg, SpeedDuplex.Gigabit, JumboPacket, FlowControl, \
                  ReceiveBuffers, NetworkAddress
CopyFiles       = TVX60.CopyFiles

[TVX4440.ndi.NT]
Characteristics = 0x84
BusType         = 5
AddReg          = TVX60.reg, SpeedDuplex.Fast, FlowControl, ReceiveBuffers, NetworkAddress
CopyFiles       = TVX60.CopyFiles

[TVX4450.ndi.NT.Services]
AddService = TVX60, 2, TVX60.Service, TVX60.EventLog

[TVX4440.ndi.NT.Services]
AddService = TVX60, 2, TVX60.Service, TVX60.EventLog

[TVX60.Service]
DisplayName   = %TVX60.Service.DispName%
ServiceType   = 1               ; SERVICE_KERNEL_DRIVER
StartType     = 3               ; SERVICE_DEMAND_START
ErrorControl  = 1
ServiceBinary = %12%\tvx60x64.sys

[TVX60.EventLog]
AddReg = TVX60.AddEventLog.reg

[TVX60.AddEventLog.reg]
HKR, , EventMessageFile, 0x00020000, "%%SystemRoot%%\System32\netevent.dll"
HKR, , TypesSupported,   0x00010001, 7

[TVX60.reg]
HKR, Ndi,            Service,    0, "TVX60"
HKR, Ndi\Interfaces, UpperRange, 0, "ndis5"
HKR, Ndi\Interfaces, LowerRange, 0, "ethernet"

[SpeedDuplex.Gigabit]
HKR, Ndi\params\*SpeedDuplex,      ParamDesc, 0, %SpeedDuplex%
HKR, Ndi\params\*SpeedDuplex,      default,   0, "0"
HKR, Ndi\params\*SpeedDuplex,      type,      0, "enum"
HKR, Ndi\params\*SpeedDuplex\enum, "0",       0, %AutoNegotiation%
HKR, Ndi\params\*SpeedDuplex\enum, "1",       0, %10Half%
HKR, Ndi\params\*SpeedDuplex\enum, "2",       0, %10Full%
HKR, Ndi\params\*SpeedDuplex\enum, "3",       0, %100Half%
HKR, Ndi\params\*SpeedDuplex\enum, "4",       0, %100Full%
HKR, Ndi\params\*SpeedDuplex\enum, "6",       0, %1000Full%
HKR, , *SpeedDuplex, 0, "0"

[SpeedDuplex.Fast]
HKR, Ndi\params\*SpeedDuplex,      ParamDesc, 0, %SpeedDuplex%
HKR, Ndi\params\*SpeedDuplex,      default,   0, "0"
HKR, Ndi\params\*SpeedDuplex,      type,      0, "enum"
HKR, Ndi\params\*SpeedDuplex\enum, "0",       0, %AutoNegotiation%
HKR, Ndi\params\*SpeedDuplex\enum, "1",       0, %10Half%
HKR, Ndi\params\*SpeedDuplex\enum, "2",       0, %10Full%
HKR, Ndi\params\*SpeedDuplex\enum, "3",       0, %100Half%
HKR, Ndi\params\*SpeedDuplex\enum, "4",       0, %100Full%
HKR, , *SpeedDuplex, 0, "0"

[JumboPacket]
HKR, Ndi\params\*JumboPacket,      ParamDesc, 0, %JumboFrame%
HKR, Ndi\params\*JumboPacket,      default,   0, "1514"
HKR, Ndi\params\*JumboPacket,      type,      0, "enum"
HKR, Ndi\params\*JumboPacket\enum, "1514",    0, %Disabled%
HKR, Ndi\params\*JumboPacket\enum, "4088",    0, "4KB MTU"
HKR, Ndi\params\*JumboPacket\enum, "9014",    0, "9KB MTU"
HKR, , *JumboPacket, 0, "1514"

[FlowControl]
HKR, Ndi\params\*FlowControl,      ParamDesc, 0, %FlowControl%
HKR, Ndi\params\*FlowControl,      default,   0, "3"
HKR, Ndi\params\*FlowControl,      type,      0, "enum"
HKR, Ndi\params\*FlowControl\enum, "0",       0, %Disabled%
HKR, Ndi\params\*FlowControl\enum, "1",       0, "Tx Enabled"
HKR, Ndi\params\*FlowControl\enum, "2",       0, "Rx Enabled"
HKR, Ndi\params\*FlowControl\enum, "3",       0, "Rx & Tx Enabled"
HKR, , *FlowControl, 0, "3"

[ReceiveBuffers]
HKR, Ndi\params\*ReceiveBuffers, ParamDesc, 0, %ReceiveBuffers%
HKR, Ndi\params\*ReceiveBuffers, default,   0, "256"
HKR, Ndi\params\*ReceiveBuffers, type,      0, "int"
HKR, Ndi\params\*ReceiveBuffers, min,       0, "64"
HKR, Ndi\params\*ReceiveBuffers, max,       0, "512"
HKR, Ndi\params\*ReceiveBuffers, step,      0, "8"
HKR, , *ReceiveBuffers, 0, "256"

[NetworkAddress]
HKR, Ndi\params\NetworkAddress, ParamDesc, 0, %NetworkAddress%
HKR, Ndi\params\NetworkAddress, type,      0, "edit"
HKR, Ndi\params\NetworkAddress, default,   0, ""
HKR, Ndi\params\NetworkAddress, LimitText, 0, "12"
HKR, Ndi\params\NetworkAddress, UpperCase, 0, "1"
HKR, Ndi\params\NetworkAddress, Optional,  0, "1"

[TVX60.CopyFiles]
tvx60x64.sys,,,2
tvxcoins.dll,,,2

[DestinationDirs]
DefaultDestDir   = 11
TVX60.CopyFiles  = 12

[SourceDisksNames]
1 = %DiskDescription%, tvx60x64.sys,,

[SourceDisksFiles]
tvx60x64.sys = 1,,
tvxcoins.dll = 1,,

[Strings]
Tavrick                 = "Tavrick"
TVX4450.DeviceDesc      = "Tavrick PCI-E Gigabit Ethernet Controller 4450"
TVX4440.DeviceDesc      = "Tavrick PCI-E Fast Ethernet Controller 4440"
TVX60.Service.DispName  = "Tavrick PCI-E Ethernet NDIS 6.0 Driver"
DiskDescription         = "Tavrick Ethernet Driver Disk"
SpeedDuplex             = "Speed & Duplex"
AutoNegotiation         = "Auto Negotiation"
10Half                  = "10 Mbps Half Duplex"
10Full                  = "10 Mbps Full Duplex"
100Half                 = "100 Mbps Half Duplex"
100Full                 = "100 Mbps Full Duplex"
1000Full                = "1.0 Gbps Full Duplex"
JumboFrame              = "Jumbo Frame"
FlowControl             = "Flow Control"
ReceiveBuffers          = "Receive Buffers"
NetworkAddress          = "Network Address"
Disabled                = "Disabled"
)";

constexpr char kOem4Inf[] = R"(; oem4.inf -- Tavrick PCI Fast Ethernet Adapter 4420

[Version]
Signature   = "$Windows NT$"
Class       = Net
ClassGUID   = {4D36E972-E325-11CE-BFC1-08002BE10318}
Provider    = %Tavrick%
CatalogFile = tvx42.cat
DriverVer   = 06/09/2008,5.718.609.2008

[Manufacturer]
%Tavrick% = Tavrick, NTx86, NTamd64

[Tavrick.NTx86]
%TVX4420.DeviceDesc% = TVX4420.ndi, PCI\VEN_1D7A&DEV_4420&SUBSYS_04201D7A

[Tavrick.NTamd64]
%TVX4420.DeviceDesc% = TVX4420.ndi, PCI\VEN_1D7A&DEV_4420&SUBSYS_04201D7A

[TVX4420.ndi.NT]
Characteristics = 0x84
BusType         = 5
AddReg          = TVX42.reg
CopyFiles       = TVX42.CopyFiles

[TVX4420.ndi.NT.Services]
AddService = TVX42, 2, TVX42.Service

[TVX42.Service]
DisplayName   = %TVX42.Service.DispName%
ServiceType   = 1
StartType     = 3
ErrorControl  = 1
ServiceBinary = %12%\tvx42x64.sys

[TVX42.reg]
HKR, Ndi,            Service,    0, "TVX42"
HKR, Ndi\Interfaces, UpperRange, 0, "ndis5"
HKR, Ndi\Interfaces, LowerRange, 0, "ethernet"

[TVX42.CopyFiles]
tvx42x64.sys,,,2

[DestinationDirs]
DefaultDestDir  = 11
TVX42.CopyFiles = 12

[SourceDisksNames]
1 = %DiskDescription%, tvx42x64.sys,,

[SourceDisksFiles]
tvx42x64.sys = 1,,

[Strings]
Tavrick                = "Tavrick"
TVX4420.DeviceDesc     = "Tavrick PCI Fast Ethernet Adapter 4420"
TVX42.Service.DispName = "Tavrick PCI Fast Ethernet NDIS Driver"
DiskDescription        = "Tavrick Ethernet Driver Disk"
)";

constexpr char kNet8d21Inf[] = R"(; net8d21.inf -- Orrin Networks 10/100 PCI adapters (inbox)

[Version]
Signature   = "$Windows NT$"
Class       = Net
ClassGUID   = {4D36E972-E325-11CE-BFC1-08002BE10318}
Provider    = %Orrin%
LayoutFile  = layout.inf
DriverVer   = 06/21/2006,6.0.6000.16386

[Manufacturer]
%Orrin% = Orrin, NTx86

[Orrin.NTx86]
%ORN1039.DeviceDesc% = ORN1039.ndi, PCI\VEN_8D21&DEV_1039

[ORN1039.ndi]
Characteristics = 0x84
BusType         = 5
AddReg          = ORN1039.reg
CopyFiles       = ORN1039.CopyFiles

[ORN1039.CopyFiles]
orn1039.sys,,,2

[Strings]
Orrin              = "Orrin Networks"
ORN1039.DeviceDesc = "Orrin Networks 10/100 PCI Adapter"
)";

struct InfText {
    const char* name;
    const char* text;
};

const InfText kInfFiles[] = {{"oem3.inf", kOem3Inf}, {"oem4.inf", kOem4Inf}, {"net8d21.inf", kNet8d21Inf}};

// The 4450 runs a later release of the same package (new enough for VLANs), installed as
// oem7.inf; the 4440 still runs the 6.210 release of oem3.inf.
constexpr std::string_view kPackageRelease = "11/24/2009,6.210.1124.2009";
constexpr std::string_view kLaterRelease = "03/15/2011,6.620.315.2011";

std::string laterPackage() {
    return replaceAll(replaceAll(kOem3Inf, "; oem3.inf", "; oem7.inf"), kPackageRelease, kLaterRelease);
}

// "<path>: <system error>" for a failure, empty for none.
std::string failure(const std::filesystem::path& path, const FileError& error) {
    return error ? path.string() + ": " + error.describe() : std::string();
}

std::string makeDirectories(const std::filesystem::path& path) {
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return failure(path, fileErrorOf(ec));
}

std::string writeText(const std::filesystem::path& path, std::string_view text) {
    if (std::string problem = makeDirectories(path.parent_path()); !problem.empty()) return problem;
    removeStrayTemporaries(path);
    return failure(path,
                   writeFileAtomically(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())));
}

// Whether the directory holds a machine.json that a creation finished: one that is there, not
// empty and JSON. Anything else is moved aside, so that a hand-made file is never lost.
bool holdsMachine(const std::filesystem::path& directory) {
    const auto path = directory / "machine.json";
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return false;
    std::string text;
    {
        // Closed before the file is moved: Windows moves no open file.
        std::ifstream in(path, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (text.find_first_not_of(" \t\r\n") != std::string::npos) {
        try {
            (void)parseJson(text);
            return true;
        } catch (const JsonError&) {
            std::filesystem::rename(path, directory / "machine.json.invalid", ec);
            return false;
        }
    }
    std::filesystem::remove(path, ec);
    return false;
}

}  // namespace

std::string writeDefaultMachine(const std::filesystem::path& directory) {
    const auto inf = directory / "C" / "WINDOWS" / "INF";
    std::vector<std::pair<std::filesystem::path, std::string>> files = {{directory / "registry.reg", registryText()}};
    for (const InfText& text : kInfFiles) files.emplace_back(inf / text.name, withCrLf(text.text));
    files.emplace_back(inf / "oem7.inf", withCrLf(laterPackage()));
    files.emplace_back(directory / "C" / "Program Files" / "Kelvadiag" / "Kelvadiag.exe", kProgramFile);
    // machine.json last: its presence marks a complete directory.
    files.emplace_back(directory / "machine.json", kMachineJson);
    if (std::string problem = makeDirectories(directory / "C" / "WINDOWS" / "System32" / "Drivers"); !problem.empty())
        return problem;
    for (const auto& [path, text] : files)
        if (std::string problem = writeText(path, text); !problem.empty()) return problem;
    return {};
}

std::string ensureDefaultMachine(const std::filesystem::path& directory) {
    if (std::string problem = makeDirectories(directory); !problem.empty()) return problem;
    const MachineLock lock(directory, MachineLock::Mode::Exclusive);
    if (holdsMachine(directory)) return {};
    return writeDefaultMachine(directory);
}

}  // namespace kv::sim
