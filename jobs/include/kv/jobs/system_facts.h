// The computer around the adapters, as a support case needs it: the suite's version, the Windows
// version, and the state of the protocol driver the library speaks to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "kv/platform/system.h"

namespace kv::jobs {

// The suite's version ("1.0").
std::string_view suiteVersion();

// The extended version record, else the basic one; nothing when both are refused.
std::optional<platform::OsVersion> windowsVersion();
// "Windows 6.0 build 6002 Service Pack 2", or "unknown".
std::string windowsVersionText(const std::optional<platform::OsVersion>& version);
// A 32-bit program on 64-bit Windows.
bool runsUnderWow64();

// Whether a service of that name exists (asked with query rights only: nothing is started).
bool serviceInstalled(std::u16string_view name);

struct ProtocolDriverState {
    std::u16string service;  // TvNdPt60, or NPROBE on Windows 5.x
    bool installed = false;
    bool running = false;    // its device opens, or answers with anything but "not found"
    uint32_t openError = 0;  // what opening its device answered; 0 when it opened
};
// The state for the version's driver, from whether the library's channel opened (`openError` 0)
// or what it answered.
ProtocolDriverState protocolDriverState(const std::optional<platform::OsVersion>& version, uint32_t openError);
// "TvNdPt60: installed, running", "... not installed", "... its device refuses to open (error 5)".
std::string protocolDriverText(const ProtocolDriverState& state);

}  // namespace kv::jobs
