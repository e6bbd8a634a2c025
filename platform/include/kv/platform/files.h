// Files: the text files exchanged with outside tools in the current directory, the Windows
// directory, and file copies. Paths are Windows paths: relative to the current directory, or
// absolute ("C:\WINDOWS\...").
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kv::platform {

enum class FileMode { Read, WriteTruncate, Append };

// An open file read line by line or written in text, like a C stream in text mode.
class TextFile {
public:
    virtual ~TextFile() = default;
    // fgets: reads up to maxChars - 1 characters or through the next line feed, which is kept.
    // False at the end of the file.
    virtual bool readLine(std::string* line, size_t maxChars) = 0;
    // fread: up to maxBytes bytes.
    virtual std::string read(size_t maxBytes) = 0;
    virtual bool write(std::string_view text) = 0;
};

class Files {
public:
    virtual ~Files() = default;
    virtual std::unique_ptr<TextFile> open(std::u16string_view path, FileMode mode) = 0;
    virtual bool exists(std::u16string_view path) = 0;
    // DeleteFileW.
    virtual bool remove(std::u16string_view path) = 0;
    // CopyFileW; sets the last error on failure.
    virtual bool copy(std::u16string_view from, std::u16string_view to, bool failIfExists) = 0;
    // GetCurrentDirectoryW; empty on failure.
    virtual std::u16string currentDirectory() = 0;
    // SetCurrentDirectoryW; sets the last error on failure.
    virtual bool setCurrentDirectory(std::u16string_view path) = 0;
    // GetWindowsDirectoryW ("C:\WINDOWS").
    virtual std::u16string windowsDirectory() = 0;
};

Files& files();

}  // namespace kv::platform
