// The terminal services on the Windows API, built into the Windows backend and into the
// simulated host running on Windows.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "kv/platform/terminal.h"

namespace kv::platform {

namespace {

std::string utf8(const wchar_t* text) {
    const int size = static_cast<int>(std::wcslen(text));
    if (size == 0) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text, size, out.data(), n, nullptr, nullptr);
    return out;
}

std::atomic<int> gInterrupts{0};
const char* gNotice = "";

// Runs on a thread the system starts for the event: the first event is taken (TRUE), a second one
// is left to the default handler, which ends the process.
BOOL WINAPI onConsoleEvent(DWORD) {
    if (gInterrupts.fetch_add(1) > 0) return FALSE;
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), gNotice, static_cast<DWORD>(std::strlen(gNotice)), &written, nullptr);
    return TRUE;
}

}  // namespace

std::vector<std::string> programArguments(int, char**) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) return {};
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> owned(arguments, &LocalFree);
    std::vector<std::string> out;
    for (int i = 1; i < count; ++i) out.push_back(utf8(arguments[i]));
    return out;
}

bool standardErrorIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

namespace {
// The console's code page belongs to the console, which outlives the program: the one it had is
// put back when the program ends.
UINT gPreviousCodePage = 0;
}  // namespace

void useUtf8Console() {
    gPreviousCodePage = GetConsoleOutputCP();
    if (gPreviousCodePage == 0 || !SetConsoleOutputCP(CP_UTF8)) return;
    std::atexit([] { SetConsoleOutputCP(gPreviousCodePage); });
}

void catchInterrupts(const char* notice) {
    gNotice = notice;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool interrupted() { return gInterrupts.load() > 0; }

}  // namespace kv::platform
