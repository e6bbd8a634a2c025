#include "capture_log.h"

#include "kv/platform/files.h"
#include "kv/platform/ui.h"

namespace kv::capture {

void CaptureLog::skipped(std::string_view what, std::string_view why) {
    ++skipped_;
    add(std::string(what) + ": not captured (" + std::string(why) + ")");
}

void CaptureLog::note(std::string_view line) { add(std::string(line)); }

void CaptureLog::startFile(std::u16string path) {
    file_ = std::move(path);
    platform::files().open(file_, platform::FileMode::WriteTruncate);
    for (const auto& line : lines_) append(line);
}

// Each line is appended and the file closed again, so that it is on disk at once.
void CaptureLog::append(std::string_view line) const {
    if (file_.empty()) return;
    if (auto file = platform::files().open(file_, platform::FileMode::Append)) file->write(std::string(line) + "\n");
}

void CaptureLog::add(std::string line) {
    platform::console().write(line + "\n");
    append(line);
    lines_.push_back(std::move(line));
}

}  // namespace kv::capture
