// kelvalist: opens the library, lists the adapters the protocol driver is bound to, and shows
// each one as the library reports it: addresses, link, PCI identity and driver.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "kelvalib.h"

namespace {

std::string withoutLineFeed(const char* text) {
    std::string s(text);
    if (!s.empty() && s.back() == '\n') s.pop_back();
    return s;
}

void row(const char* label, const std::string& value) { std::printf("    %-18s %s\n", label, value.c_str()); }

std::string hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

void showAdapter() {
    AdapterInfo info{};
    if (API_GetAdapterInfo(&info)) {
        char mac[32];
        std::snprintf(mac, sizeof mac, "%02x-%02x-%02x-%02x-%02x-%02x", info.MacAddress[0], info.MacAddress[1],
                      info.MacAddress[2], info.MacAddress[3], info.MacAddress[4], info.MacAddress[5]);
        row("Ethernet address", mac);
        row("Chip class", std::to_string(info.ChipClass));
        row("PCI location", "bus " + std::to_string(info.Bus) + ", slot " + std::to_string(info.Slot));
        row("Vendor / device", hex(info.VendorId, 4) + " / " + hex(info.DeviceId, 4) + ", revision " +
                                   std::to_string(info.RevisionId));
        row("I/O, memory, IRQ", hex(info.IoAddress, 4) + ", " + hex(info.MemoryAddress, 8) + ", " +
                                    std::to_string(info.InterruptNumber));
    }
    uint8_t ip[4] = {};
    API_GetIPAddress(ip);
    row("IP address", std::to_string(ip[0]) + "." + std::to_string(ip[1]) + "." + std::to_string(ip[2]) + "." +
                          std::to_string(ip[3]));
    char name[260] = {};
    if (API_GetConnName_A(name, sizeof name)) row("Connection", name);
    const bool link = API_IsLink() == 1;
    uint32_t speed = 0;
    int duplex = 0;
    std::string linkText = link ? "up" : "down";
    if (link && API_GetLinkSpeed(&speed)) linkText += ", " + std::to_string(speed) + " Mbps";
    if (link && API_GetDuplexMode(&duplex)) linkText += duplex == 2 ? ", full duplex" : duplex == 1 ? ", half duplex" : "";
    row("Link", linkText);
    auto driver = std::make_unique<DriverInfo_A>();
    std::memset(driver.get(), 0, sizeof(DriverInfo_A));
    API_GetDriverInfo_A(driver.get());
    if (driver->DriverDesc[0]) row("Driver", driver->DriverDesc);
    if (driver->DriverVersion[0]) row("Driver version", std::string(driver->DriverVersion) + " (" + driver->DriverDate + ")");
    if (driver->ProviderName[0]) row("Provider", driver->ProviderName);
    if (driver->InfPath[0]) row("INF", driver->InfPath);
    for (uint32_t i = 0; i < driver->BinaryCount && i < KV_BINARY_SLOTS; ++i) row("Driver file", driver->BinaryName[i]);
}

}  // namespace

int main() {
    if (!API_Open()) {
        std::puts("The protocol driver's device cannot be opened.");
        return 1;
    }
    auto list = std::make_unique<AdapterList_A>();
    std::memset(list.get(), 0, sizeof(AdapterList_A));
    if (!API_GetAdapterList_A(list.get())) {
        std::puts("The adapter list cannot be read.");
        API_Close();
        return 1;
    }
    std::printf("%u adapter(s)\n", list->Count);
    for (uint32_t i = 0; i < list->Count; ++i) {
        std::printf("\n[%u] %s\n", i, withoutLineFeed(list->Description[i]).c_str());
        if (!API_SetCurrAdaptIdx(static_cast<int>(i))) {
            std::puts("    cannot be selected");
            continue;
        }
        showAdapter();
    }
    API_Close();
    return 0;
}
