// The machine directory the capture writes: machine.json, registry.reg, capture.log and the
// C tree, made through the platform's file services under the directory named on the command line.
#pragma once

#include <string>
#include <string_view>

namespace kv::capture {

class OutputDirectory {
public:
    explicit OutputDirectory(std::u16string root) : root_(std::move(root)) {}

    // Makes the directory with its missing parents and, for a relative path inside it, every
    // folder on the way.
    bool make(std::u16string_view relative = {});
    // The path of a file inside the directory ("C\WINDOWS\INF\oem3.inf").
    std::u16string path(std::u16string_view relative) const;
    // Writes the whole text of a file, replacing it.
    bool write(std::u16string_view relative, std::string_view text) const;

private:
    std::u16string root_;
};

}  // namespace kv::capture
