#include <windows.h>

#include <cwchar>

#include "command_line.h"

namespace kv::platform::native {

std::u16string processCommandLine() {
    const wchar_t* line = GetCommandLineW();
    return line ? std::u16string(line, line + std::wcslen(line)) : std::u16string();
}

}  // namespace kv::platform::native
