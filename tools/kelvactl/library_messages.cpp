#include "library_messages.h"

#include "kv/platform/ui.h"
#include "kv/text.h"
#include "output.h"

namespace kv::kelvactl {

LibraryMessages::LibraryMessages(Output& output, bool verbose) : output_(output), verbose_(verbose) {
    platform::setConsoleMessageBoxes([this](std::u16string_view text, std::u16string_view, uint32_t flags) {
        std::string line = utf16ToUtf8(text);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        {
            const std::lock_guard lock(mutex_);
            boxes_.push_back(line);
        }
        showVerbose("library message: " + line);
        return (flags & 0xF) == platform::mb::kYesNo ? platform::mb::kIdYes : platform::mb::kIdOk;
    });
    platform::setConsoleSink([this](std::string_view text) {
        std::string line(text);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        showVerbose("library output: " + line);
    });
}

LibraryMessages::~LibraryMessages() {
    platform::setConsoleMessageBoxes({});
    platform::setConsoleSink({});
}

void LibraryMessages::showVerbose(const std::string& line) {
    if (verbose_) output_.note(line);
}

size_t LibraryMessages::mark() const {
    const std::lock_guard lock(mutex_);
    return boxes_.size();
}

std::string LibraryMessages::lastSince(size_t mark) const {
    const std::lock_guard lock(mutex_);
    return boxes_.size() > mark ? boxes_.back() : std::string();
}

std::string LibraryMessages::saidSince(size_t mark) const {
    const std::string text = lastSince(mark);
    return text.empty() ? std::string() : " (the library says: \"" + text + "\")";
}

}  // namespace kv::kelvactl
