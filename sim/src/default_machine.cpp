// The embedded default machine, written out on first run when no machine directory exists yet:
// a Windows Vista SP2 desktop with three adapters of the maker's family and one of another maker.
#include <fstream>

#include "kv/sim/host.h"

namespace kv::sim {

namespace {

constexpr char kMachineJson[] = R"json({
  "name": "Default workstation",
  "os": { "platform": "nt", "major": 6, "minor": 0, "build": 6002, "servicePack": "Service Pack 2", "wow64": false },
  "protocolDriver": { "installed": true, "running": true },
  "tools": { "tvxbind": { "delayMs": 300 }, "nicctlv6": { "delayMs": 1000 }, "cmd": { "delayMs": 50 } },
  "adapters": [
    {
      "guid": "{6F1C2B3A-4450-4C1D-9A7E-1D7A44500001}",
      "description": "Tavrick PCI-E Gigabit Ethernet Controller 4450",
      "mac": "00-1D-7A-44-50-01",
      "pci": { "vendor": "0x1D7A", "device": "0x4450", "subVendor": "0x1D7A", "subSystem": "0x0450",
               "revision": 1, "bus": 2, "slot": 0, "io": "0xD000", "memory": "0xFE9F0000", "irq": 17 },
      "link": { "up": true, "speed": 1000, "duplex": "full" },
      "phy": { "mdix": true },
      "cable": { "length": 42 }
    },
    {
      "guid": "{0B9E4D22-4420-4E8F-8C31-1D7A44200002}",
      "description": "Tavrick PCI Fast Ethernet Adapter 4420",
      "mac": "00-1D-7A-44-20-02",
      "pci": { "vendor": "0x1D7A", "device": "0x4420", "subVendor": "0x1D7A", "subSystem": "0x0420",
               "revision": 16, "bus": 3, "slot": 5, "io": "0xC800", "memory": "0xFEAFF000", "irq": 19 },
      "link": { "up": true, "speed": 100, "duplex": "full" },
      "cable": { "length": 18 }
    },
    {
      "guid": "{9D3A7E51-4440-47B2-A6D0-1D7A44400003}",
      "description": "Tavrick PCI-E Fast Ethernet Controller 4440",
      "mac": "00-1D-7A-44-40-03",
      "pci": { "vendor": "0x1D7A", "device": "0x4440", "subVendor": "0x1D7A", "subSystem": "0x0440",
               "revision": 2, "bus": 4, "slot": 0, "io": "0xB000", "memory": "0xFEBFF000", "irq": 18 },
      "link": { "up": false, "speed": 100, "duplex": "unknown" },
      "cable": { "length": 25, "pairs": [ {}, { "state": "open", "distance": 12 } ] },
      "device": { "componentId": "PCI\\VEN_1D7A&DEV_4440&SUBSYS_04401D7A" }
    },
    {
      "guid": "{3C5F8A90-1234-4BCD-8E2F-5A0B2C3D0004}",
      "description": "Orrin Networks 10/100 PCI Adapter",
      "mac": "00-0C-29-5B-71-04",
      "pci": { "vendor": "0x8D21", "device": "0x1039", "subVendor": "0x8D21", "subSystem": "0x0001",
               "revision": 3, "bus": 5, "slot": 1, "io": "0xA000", "memory": "0xFECFF000", "irq": 16 },
      "link": { "up": true, "speed": 100, "duplex": "half" }
    }
  ]
}
)json";

constexpr char kRegistryReg[] = "Windows Registry Editor Version 5.00\r\n\r\n";

void writeText(const std::filesystem::path& path, std::string_view text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace

void writeDefaultMachine(const std::filesystem::path& directory) {
    std::filesystem::create_directories(directory);
    writeText(directory / "registry.reg", kRegistryReg);
    std::filesystem::create_directories(directory / "C" / "WINDOWS" / "INF");
    std::filesystem::create_directories(directory / "C" / "WINDOWS" / "System32" / "Drivers");
    // machine.json last: its presence marks a complete directory.
    writeText(directory / "machine.json", kMachineJson);
}

}  // namespace kv::sim
