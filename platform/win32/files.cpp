// Files on the Windows API: text files as C streams in text mode, existence, deletion, copies,
// the current and the Windows directory.
#include "kv/platform/files.h"

#include "../shared/c_stream_text_file.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

#include "win32_util.h"

namespace kv::platform {

namespace {


// A directory name from a function that takes a capacity and answers the length it needs.
template <typename Get>
std::u16string directoryName(Get&& get) {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        const UINT n = get(static_cast<UINT>(buffer.size()), buffer.data());
        if (n == 0) return {};
        if (n < buffer.size()) return win32::fromWide(buffer.data(), n);
        buffer.resize(n + 1);
    }
}

class Win32Files : public Files {
public:
    std::unique_ptr<TextFile> open(std::u16string_view path, FileMode mode) override {
        const wchar_t* how = mode == FileMode::Read ? L"rt" : mode == FileMode::Append ? L"at" : L"wt";
        std::FILE* f = _wfopen(win32::wide(path).c_str(), how);
        if (!f) return nullptr;
        return std::make_unique<CStreamTextFile>(f);
    }

    bool exists(std::u16string_view path) override {
        const DWORD attributes = GetFileAttributesW(win32::wide(path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }

    bool remove(std::u16string_view path) override { return DeleteFileW(win32::wide(path).c_str()) != FALSE; }

    bool copy(std::u16string_view from, std::u16string_view to, bool failIfExists) override {
        return CopyFileW(win32::wide(from).c_str(), win32::wide(to).c_str(), failIfExists) != FALSE;
    }

    std::u16string currentDirectory() override {
        return directoryName([](UINT size, wchar_t* buffer) { return UINT(GetCurrentDirectoryW(size, buffer)); });
    }

    bool setCurrentDirectory(std::u16string_view path) override {
        return SetCurrentDirectoryW(win32::wide(path).c_str()) != FALSE;
    }

    std::u16string windowsDirectory() override {
        return directoryName([](UINT size, wchar_t* buffer) { return GetWindowsDirectoryW(buffer, size); });
    }
};

}  // namespace

Files& files() {
    static Win32Files instance;
    return instance;
}

}  // namespace kv::platform
