// What the capture could not read, and what it read otherwise than asked: one line per event,
// shown on standard output and appended to capture.log at once, so that the log tells how far
// the capture came also when the process ends early (the library ends it when an adapter is busy).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kv::capture {

class CaptureLog {
public:
    // Starts the log file anew; until then lines go to standard output only.
    void startFile(std::u16string path);

    // "<what>: not captured (<why>)" — the capture goes on without it.
    void skipped(std::string_view what, std::string_view why);
    // Any other line worth keeping ("adapter 0: {GUID} ...").
    void note(std::string_view line);

    size_t skippedCount() const { return skipped_; }

private:
    void add(std::string line);
    void append(std::string_view line) const;

    std::vector<std::string> lines_;
    size_t skipped_ = 0;
    std::u16string file_;
};

}  // namespace kv::capture
