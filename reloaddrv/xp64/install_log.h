// InstallLog.txt, the tool's optional log in the current directory. Only the logging build of the
// tool opens it; a log that is not open writes nothing.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "kv/platform/files.h"

namespace kv::cyclenic {

class InstallLog {
public:
    InstallLog() = default;
    // Opens the log for writing, truncated. When it cannot be opened the tool runs without it.
    static InstallLog open();
    // The log's path: the current directory, or "c:\" when it cannot be read, plus
    // "\InstallLog.txt".
    static std::u16string pathIn(std::u16string_view currentDirectory);

    // One line; the line feed is added here.
    void write(std::string_view line);
    // The run's last line: "Exit code: = <code>".
    void writeExitCode(int code);

private:
    explicit InstallLog(std::unique_ptr<platform::TextFile> file) : file_(std::move(file)) {}
    std::unique_ptr<platform::TextFile> file_;
};

}  // namespace kv::cyclenic
