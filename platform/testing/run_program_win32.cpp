// Running a program on Windows: CreateProcessW with a command line made of the program and its
// arguments, an environment block of the caller's variables and the request's, standard output
// and standard error through two pipes read to their ends as text, then the exit code.
#include <windows.h>

#include <cwchar>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "kv/platform/testing/run_program.h"

namespace kv::platform::testing {

namespace {

std::wstring widen(const std::string& text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

// A cross build names its programs by their host paths ("/build/bin/tool.exe"); under wine the
// system itself knows the Windows name of such a path.
std::wstring programPath(const std::filesystem::path& program) {
    using DosNameFn = wchar_t* CDECL(const char*);
    const std::string text = program.string();
    HMODULE kernel = GetModuleHandleW(L"kernel32");
    auto* dosName = reinterpret_cast<DosNameFn*>(
        reinterpret_cast<void (*)()>(kernel ? GetProcAddress(kernel, "wine_get_dos_file_name") : nullptr));
    if (dosName && !text.empty() && text[0] == '/') {
        if (wchar_t* converted = dosName(text.c_str())) {
            std::wstring out(converted);
            HeapFree(GetProcessHeap(), 0, converted);
            return out;
        }
    }
    return program.wstring();
}

// An argument is quoted only when it holds a blank; the rest reach the program as they stand.
std::wstring commandLine(const std::wstring& program, const std::vector<std::string>& arguments) {
    std::wstring line = L"\"" + program + L"\"";
    for (const auto& argument : arguments) {
        const std::wstring a = widen(argument);
        line += a.find(L' ') == std::wstring::npos ? L" " + a : L" \"" + a + L"\"";
    }
    return line;
}

// Names compare without regard to case, as Windows compares them.
struct NameLess {
    bool operator()(const std::wstring& a, const std::wstring& b) const { return _wcsicmp(a.c_str(), b.c_str()) < 0; }
};

std::vector<wchar_t> environmentBlock(const std::vector<std::pair<std::string, std::string>>& additions) {
    std::map<std::wstring, std::wstring, NameLess> variables;
    if (wchar_t* strings = GetEnvironmentStringsW()) {
        for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1) {
            const std::wstring e(entry);
            // Entries such as "=C:=C:\\" keep their leading '=' in the name.
            const size_t eq = e.find(L'=', 1);
            if (eq != std::wstring::npos) variables[e.substr(0, eq)] = e.substr(eq + 1);
        }
        FreeEnvironmentStringsW(strings);
    }
    for (const auto& [name, value] : additions) variables[widen(name)] = widen(value);
    std::vector<wchar_t> block;
    for (const auto& [name, value] : variables) {
        const std::wstring entry = name + L"=" + value;
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

// A handle closed when it goes out of scope.
struct Handle {
    HANDLE h = nullptr;
    Handle() = default;
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { close(); }
    void close() {
        if (h) CloseHandle(h);
        h = nullptr;
    }
};

// Starts the program with its standard output on `output` and its standard error on `errors`; its
// process handle, null when it could not be started.
HANDLE createProcess(const ProgramRequest& request, HANDLE output, HANDLE errors) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = errors;
    std::wstring line = commandLine(programPath(request.program), request.arguments);
    std::vector<wchar_t> environment = environmentBlock(request.environment);
    const std::wstring directory = request.workingDirectory.wstring();
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT, environment.data(),
                        directory.empty() ? nullptr : directory.c_str(), &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

// A pipe whose write end the program inherits.
struct InheritedPipe {
    Handle readEnd;
    Handle writeEnd;
    bool open() {
        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        if (!CreatePipe(&readEnd.h, &writeEnd.h, &inherit, 0)) return false;
        SetHandleInformation(readEnd.h, HANDLE_FLAG_INHERIT, 0);
        return true;
    }
};

// Everything until the program closes its end, read as text the way a C stream in text mode reads
// on Windows: CR LF becomes LF.
std::string readText(HANDLE pipe) {
    char buffer[4096];
    DWORD n = 0;
    std::string raw;
    while (ReadFile(pipe, buffer, sizeof buffer, &n, nullptr) && n > 0) raw.append(buffer, n);
    std::string text;
    for (size_t i = 0; i < raw.size(); ++i)
        if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')) text += raw[i];
    return text;
}

class WindowsStartedProgram : public StartedProgram {
public:
    explicit WindowsStartedProgram(HANDLE process) { process_.h = process; }
    ~WindowsStartedProgram() override {
        if (process_.h) {
            kill();
            wait();
        }
    }
    void kill() override {
        if (process_.h) TerminateProcess(process_.h, static_cast<UINT>(-1));
    }
    int wait() override {
        DWORD code = 0;
        if (process_.h && WaitForSingleObject(process_.h, INFINITE) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(process_.h, &code))
            exitCode_ = static_cast<int>(code);
        process_.close();
        return exitCode_;
    }

private:
    Handle process_;
    int exitCode_ = -1;
};

}  // namespace

std::unique_ptr<StartedProgram> startProgram(const ProgramRequest& request) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    Handle nul;
    nul.h = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
    if (nul.h == INVALID_HANDLE_VALUE) nul.h = nullptr;
    HANDLE process = createProcess(request, nul.h, GetStdHandle(STD_ERROR_HANDLE));
    return process ? std::make_unique<WindowsStartedProgram>(process) : nullptr;
}

ProgramResult runProgram(const ProgramRequest& request) {
    ProgramResult result;
    InheritedPipe output;
    InheritedPipe errors;
    if (!output.open() || !errors.open()) {
        result.standardError = "no pipe for the program's output: error " + std::to_string(GetLastError());
        return result;
    }
    Handle processHandle;
    processHandle.h = createProcess(request, output.writeEnd.h, errors.writeEnd.h);
    if (!processHandle.h) {
        result.standardError = "the program did not start: error " + std::to_string(GetLastError());
        return result;
    }
    output.writeEnd.close();
    errors.writeEnd.close();

    // Standard error on a thread of its own: a program that fills one pipe while the other is read
    // would wait for ever.
    std::thread errorReader([&] { result.standardError = readText(errors.readEnd.h); });
    result.standardOutput = readText(output.readEnd.h);
    errorReader.join();
    DWORD code = 0;
    if (WaitForSingleObject(processHandle.h, INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(processHandle.h, &code))
        result.exitCode = static_cast<int>(code);
    return result;
}

}  // namespace kv::platform::testing
