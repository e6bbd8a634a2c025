// The registry keys the capture reads, and the few value reads it needs beyond exporting them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "kv/platform/registry.h"

namespace kv::capture {

// Under HKEY_LOCAL_MACHINE.
inline constexpr char16_t kNetClassKey[] =
    u"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
inline constexpr char16_t kNetworkConnectionsKey[] =
    u"SYSTEM\\CurrentControlSet\\Control\\Network\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
inline constexpr char16_t kTcpipInterfacesKey[] = u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces";
inline constexpr char16_t kSettingsKey[] = u"SOFTWARE\\Kelvadiag";
inline constexpr char16_t kRunKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char16_t kRunValue[] = u"Kelvadiag";
// Where a 32-bit utility's settings and Run value lie on 64-bit Windows, seen from a 64-bit program.
inline constexpr char16_t kSettingsKey32[] = u"SOFTWARE\\Wow6432Node\\Kelvadiag";
inline constexpr char16_t kRunKey32[] = u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";

// A string value (REG_SZ or REG_EXPAND_SZ) without its terminator; nothing when it cannot be read.
std::optional<std::u16string> readString(platform::RegKeyHandle key, std::u16string_view name);
// Opens a key under HKEY_LOCAL_MACHINE for reading.
platform::RegKey openMachineKey(std::u16string_view path);
// The GUID at the start of a "NetCfgInstanceId" value: through its closing brace.
std::u16string guidPart(std::u16string_view instanceId);

}  // namespace kv::capture
