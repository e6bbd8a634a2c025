// The library's own message boxes and diagnostic lines, taken from the screen and from standard
// output (which carries kelvactl's document): each box is answered with its affirmative button and
// kept, so that an error line can say what the library said; with --verbose both are shown on
// standard error as they come.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace kv::kelvactl {

class Output;

class LibraryMessages {
public:
    LibraryMessages(Output& output, bool verbose);
    ~LibraryMessages();
    LibraryMessages(const LibraryMessages&) = delete;
    LibraryMessages& operator=(const LibraryMessages&) = delete;

    // The number of boxes so far, to ask later what came after it.
    size_t mark() const;
    // The last box's text since the mark; empty when there was none.
    std::string lastSince(size_t mark) const;
    // " (the library says: "<text>")" for the last box since the mark, or nothing.
    std::string saidSince(size_t mark) const;

private:
    void showVerbose(const std::string& line);

    Output& output_;
    bool verbose_;
    mutable std::mutex mutex_;
    std::vector<std::string> boxes_;
};

}  // namespace kv::kelvactl
