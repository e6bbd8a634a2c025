// Common ground of the Windows backend's tests: a scratch folder that is the current directory
// while a test runs, and the folder of the test program (where Kelvalib.dll and the tools lie).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "kv/text.h"

namespace kv::test {

// The folder of the running program.
inline std::filesystem::path programDirectory() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(std::wstring(path, n)).parent_path();
}

inline std::u16string u16(const std::filesystem::path& path) {
    const std::wstring w = path.wstring();
    return std::u16string(w.begin(), w.end());
}

// A fresh folder under the system's temporary folder, made the current directory; the previous
// current directory comes back and the folder goes when the test ends.
class ScratchDirectory {
public:
    ScratchDirectory() : previous_(std::filesystem::current_path()) {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("kelvadiag-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter));
        std::filesystem::create_directories(path_);
        std::filesystem::current_path(path_);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;
    ~ScratchDirectory() {
        std::error_code ec;
        std::filesystem::current_path(previous_, ec);
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

// Lower-cased ASCII, for comparing Windows paths.
inline std::u16string folded(std::u16string text) {
    for (auto& c : text) c = asciiLower(c);
    return text;
}

}  // namespace kv::test
