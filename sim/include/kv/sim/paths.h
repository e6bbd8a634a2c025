// Windows paths on the simulated machine: "C:\WINDOWS\..." lies in the machine directory's "C"
// folder; a relative path lies in the process's real current directory. Components are matched
// case-insensitively against what exists, as Windows does.
#pragma once

#include <filesystem>
#include <string_view>

namespace kv::sim {

// Resolves a Windows path; an empty result means the drive is not on this machine.
std::filesystem::path resolveWindowsPath(std::u16string_view windowsPath);

}  // namespace kv::sim
