#include "capture_log.h"

#include "kv/platform/ui.h"

namespace kv::capture {

void CaptureLog::skipped(std::string_view what, std::string_view why) {
    ++skipped_;
    add(std::string(what) + ": not captured (" + std::string(why) + ")");
}

void CaptureLog::note(std::string_view line) { add(std::string(line)); }

void CaptureLog::add(std::string line) {
    platform::console().write(line + "\n");
    lines_.push_back(std::move(line));
}

std::string CaptureLog::text() const {
    std::string out;
    for (const auto& line : lines_) out += line + "\n";
    return out;
}

}  // namespace kv::capture
