// What the capture could not read, and what it read otherwise than asked: one line per event,
// shown on standard output at once and kept for capture.log beside the machine files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv::capture {

class CaptureLog {
public:
    // "<what>: not captured (<why>)" — the capture goes on without it.
    void skipped(std::string_view what, std::string_view why);
    // Any other line worth keeping ("adapter 0: {GUID} ...").
    void note(std::string_view line);

    const std::vector<std::string>& lines() const { return lines_; }
    size_t skippedCount() const { return skipped_; }
    // The lines, each ending with a line feed.
    std::string text() const;

private:
    void add(std::string line);

    std::vector<std::string> lines_;
    size_t skipped_ = 0;
};

}  // namespace kv::capture
