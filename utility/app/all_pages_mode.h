// The "all pages" mode: the page table then lists, after General, Driver and Cable, every other
// page the utility has (Diagnostics, Send and Receive, Statistics, Wake On LAN, the driver's
// advanced settings, VLAN, Green Feature). It is on when the registry value "AllPages" under
// HKEY_LOCAL_MACHINE\SOFTWARE\Kelvadiag reads as a non-zero number, or when the program is
// started with the switch "/allpages" (or "-allpages", any letter case).
#pragma once

#include <string>

namespace kv::diag {

inline constexpr char kAllPagesValue[] = "AllPages";
inline constexpr char kAllPagesSwitch[] = "allpages";

// True for the switch's name as the command line hands it over (without "/" or "-").
bool isAllPagesSwitch(const std::string& switchName);

// On with the switch, else as the registry value says.
bool allPagesMode(bool switchGiven);

}  // namespace kv::diag
