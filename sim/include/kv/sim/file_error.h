// A failure of the file system the simulated host keeps the machine directory on: the system's
// own error number and text, and what kind of failure it is for the calls that report it.
#pragma once

#include <string>
#include <system_error>

namespace kv::sim {

struct FileError {
    enum class Kind { None, DiskFull, ReadOnly, Other };

    Kind kind = Kind::None;
    int code = 0;      // errno, or the Windows error number
    std::string text;  // the system's text for it

    explicit operator bool() const { return kind != Kind::None; }
    // "<text> (error <code>)".
    std::string describe() const { return text + " (error " + std::to_string(code) + ")"; }
};

// The error a standard library file call reported.
inline FileError fileErrorOf(const std::error_code& ec) {
    if (!ec) return {};
    FileError e{FileError::Kind::Other, ec.value(), ec.message()};
    if (ec == std::errc::no_space_on_device || ec == std::errc::file_too_large)
        e.kind = FileError::Kind::DiskFull;
    else if (ec == std::errc::read_only_file_system || ec == std::errc::permission_denied ||
             ec == std::errc::operation_not_permitted)
        e.kind = FileError::Kind::ReadOnly;
    return e;
}

}  // namespace kv::sim
