// What the simulated host takes from the system it runs on: the process's own command line.
// One implementation per host system (command_line_posix.cpp, command_line_win32.cpp).
#pragma once

#include <string>

namespace kv::platform::native {

// The whole command line, program name first; on POSIX the arguments joined with blanks, the
// program name quoted when it holds a blank.
std::u16string processCommandLine();

}  // namespace kv::platform::native
