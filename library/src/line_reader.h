// Reading the text files exchanged with the outside tools line by line into a bounded buffer, as
// fgets does, but whole lines only: a line longer than the buffer is skipped through its end
// instead of coming back in pieces.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "kv/platform/files.h"

namespace kv::lib {

class LineReader {
public:
    // A line may hold up to bufferChars - 1 characters besides its line feed.
    LineReader(platform::TextFile& file, size_t bufferChars) : file_(file), bufferChars_(bufferChars) {}

    // The next line without its line feed (and a carriage return before it); nothing at the end.
    std::optional<std::string> next();

private:
    platform::TextFile& file_;
    size_t bufferChars_;
};

}  // namespace kv::lib
