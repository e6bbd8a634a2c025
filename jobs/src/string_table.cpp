#include "kv/jobs/string_table.h"

#include <algorithm>
#include <array>
#include <utility>

#include "kv/text.h"

namespace kv::jobs {

namespace {

struct StringEntry {
    int id;
    std::string_view text;
};

// In ascending id order.
constexpr std::array kStrings{
    // Driver information page.
    StringEntry{1, "Description"},
    StringEntry{2, "Provider"},
    StringEntry{3, "Version"},
    StringEntry{4, "Date"},
    StringEntry{5, "INF Path"},
    StringEntry{6, "Binary Path"},
    // General information page.
    StringEntry{7, "MAC Address"},
    StringEntry{8, "IP Address"},
    StringEntry{9, "Connection Name"},
    StringEntry{10, "VLAN ID"},
    StringEntry{11, "Link Status"},
    StringEntry{12, "10 Mbps"},
    StringEntry{13, "100 Mbps"},
    StringEntry{14, "1.0 Gbps"},
    StringEntry{15, "Unknow"},
    StringEntry{16, "Duplex Mode"},
    StringEntry{17, "Full Duplex"},
    StringEntry{18, "Half Duplex"},
    StringEntry{19, "Disconnected"},
    StringEntry{20, "Device Location"},
    StringEntry{21, "Vendor ID"},
    StringEntry{22, "Device ID"},
    StringEntry{23, "SubVendor ID"},
    StringEntry{24, "SubSystem ID"},
    StringEntry{25, "Revision ID"},
    StringEntry{26, "IO Address"},
    StringEntry{27, "Memory Address"},
    StringEntry{28, "Interrupt Number"},
    // Cable page.
    StringEntry{29, "Normal"},
    StringEntry{30, "Short"},
    StringEntry{31, "Open"},
    StringEntry{32, "Unknow"},
    StringEntry{33, "Pair"},
    StringEntry{34, "Length(m)"},
    StringEntry{35, "Status"},
    // Diagnostics page.
    StringEntry{40, "Test Item"},
    StringEntry{41, "Pass"},
    StringEntry{42, "Fail"},
    StringEntry{43, "Register"},
    StringEntry{44, "Test the read and write operations on registers."},
    StringEntry{45, "Register Access"},
    StringEntry{46, "Fail to access registers."},
    StringEntry{47, "Test the read and write operations on EEPROM."},
    StringEntry{48, "EEPROM Access"},
    StringEntry{49, "Fail to read or write on the EEPROM."},
    StringEntry{54, "Loopback"},
    StringEntry{55, "Justify send and receive capabilities on Loopback mode."},
    StringEntry{56, "Loopback"},
    StringEntry{57, "Fail to perform lookback action."},
    StringEntry{58, "MAC Loopback"},
    StringEntry{59, "Justify send and receive capabilities on Loopback mode."},
    StringEntry{60, "MAC Loopback"},
    StringEntry{61, "Fail to perform MAC loopback action."},
    StringEntry{62, "PHY Loopback"},
    StringEntry{63, "Test the PHY of the controller."},
    StringEntry{64, "PHY Loopback"},
    StringEntry{65, "PHY Loopback test fail."},
    StringEntry{66, "IRQ"},
    StringEntry{67, "Make sure if resource conflicts with other device or not."},
    StringEntry{68, "IRQ"},
    StringEntry{69, "Resource conflicts with other device."},
    StringEntry{70, "FIFO"},
    StringEntry{71, "Verifies that buffers are OK."},
    StringEntry{72, "FIFO"},
    StringEntry{73, "FIFO buffers test fail."},
    StringEntry{74, "EEPROM"},
    StringEntry{75, "This adapter is not yet ready for the test, please try it again later."},
    StringEntry{76, "Unbinding protocols Please wait..."},
    StringEntry{77, "binding protocols Please wait..."},
    StringEntry{78, "Reloading driver.  Please wait..."},
    StringEntry{80, "No hardware errors occur."},
    StringEntry{81, "An hardware error occurs, try again please."},
    StringEntry{82, "Hardware errors occur, try again please."},
    // Statistics page.
    StringEntry{83, "Packet Sent"},
    StringEntry{84, "Packet Received"},
    StringEntry{85, "Error(Send)"},
    StringEntry{86, "Error(Receive)"},
    StringEntry{87, "Throughput(Send)"},
    StringEntry{88, "Throughput(Receive)"},
    StringEntry{89, "Throughput(Total)"},
    // VLAN page.
    StringEntry{90, "VLAN ID"},
    StringEntry{91, "Connection Name"},
    StringEntry{92, "Adapter Name"},
    // Tray menu.
    StringEntry{93, "Remove the &Tray Icon"},
    StringEntry{94, "Show the &Tray Icon"},
    StringEntry{95, "&Enable Start Up Launch"},
    StringEntry{96, "&Disable Start Up Launch"},
    // Green feature page.
    StringEntry{97, "Disable"},
    StringEntry{98, "Unlink"},
    StringEntry{99, "Normal"},
    StringEntry{100, "Enable"},
    StringEntry{101, "Stage 1 (0-30m)"},
    StringEntry{102, "Stage 2 (30-70m)"},
    StringEntry{103, "Stage 3 (70-100m)"},
    StringEntry{104, "Stage 4 ( >100m)"},
};

static_assert(std::is_sorted(kStrings.begin(), kStrings.end(),
                             [](const StringEntry& a, const StringEntry& b) { return a.id < b.id; }));

}  // namespace

std::string_view stringResource(int id) {
    const auto it = std::lower_bound(kStrings.begin(), kStrings.end(), id,
                                     [](const StringEntry& entry, int wanted) { return entry.id < wanted; });
    return it != kStrings.end() && it->id == id ? it->text : std::string_view();
}

std::string resourceText(int id) { return utf16ToUtf8(ansiToUtf16(stringResource(id))); }

}  // namespace kv::jobs
