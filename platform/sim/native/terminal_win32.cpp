// The simulated host's terminal on Windows: the program's own console.
#include "../../shared/win32_terminal.h"
#include "kv/platform/terminal.h"

namespace kv::platform {

std::vector<std::string> programArguments(int, char**) { return win32terminal::programArguments(); }
bool standardErrorIsTerminal() { return win32terminal::standardErrorIsTerminal(); }
void useUtf8Console() { win32terminal::useUtf8Console(); }
void catchInterrupts(const char* notice) { win32terminal::catchInterrupts(notice); }
bool interrupted() { return win32terminal::interrupted(); }

}  // namespace kv::platform
