// Starting programs through the shell, hidden, waiting for them when asked. The parameters go to
// the program as its command line; no command interpreter sees them.
#include "kv/platform/processes.h"

#include <windows.h>
// shellapi.h relies on the types of windows.h.
#include <shellapi.h>

#include "win32_util.h"

namespace kv::platform {

namespace {

class Win32Processes : public Processes {
public:
    bool start(const StartRequest& request, uint32_t* exitCode) override {
        const std::wstring verb = win32::wide(request.verb);
        const std::wstring file = win32::wide(request.file);
        const std::wstring parameters = win32::wide(request.parameters);
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        // The process handle when waiting; no error dialogs; the call returns only once the
        // program has been started, since a console program has no message loop to finish it.
        info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC | (request.wait ? SEE_MASK_NOCLOSEPROCESS : 0);
        info.lpVerb = verb.empty() ? nullptr : verb.c_str();
        info.lpFile = file.c_str();
        info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
        info.nShow = request.hidden ? SW_HIDE : SW_SHOWNORMAL;
        if (!ShellExecuteExW(&info)) return false;
        if (!request.wait) return true;
        // A document opened in a program that already runs leaves no process to wait for.
        if (!info.hProcess) {
            SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        win32::UniqueHandle process(info.hProcess);
        if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0) return false;
        DWORD code = 0;
        if (!GetExitCodeProcess(process.get(), &code)) return false;
        if (exitCode) *exitCode = code;
        return true;
    }
};

}  // namespace

Processes& processes() {
    static Win32Processes instance;
    return instance;
}

}  // namespace kv::platform
