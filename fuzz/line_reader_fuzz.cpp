// The outside tools' text files (pt.txt, bsts.txt, the command files): the bounded line reader
// on any file, checked against the lines the file really holds. A line that fits the buffer comes
// back whole, without its line end; a longer one is skipped entirely, never split.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "c_stream_text_file.h"
#include "fuzz_check.h"
#include "line_reader.h"

using kv::fuzz::check;

namespace {

// The library's two buffers (listing lines, command lines) and small ones that make long lines
// cheap to reach.
constexpr size_t kBufferChars[] = {2, 3, 8, 510, 550};

// The lines the reader should return: each line's text without "\n" (and one "\r" before it)
// when the line with its "\r" fits the buffer.
std::vector<std::string> expectedLines(std::string_view file, size_t bufferChars) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < file.size()) {
        size_t end = file.find('\n', start);
        if (end == std::string_view::npos) end = file.size();
        std::string_view line = file.substr(start, end - start);
        if (line.size() <= bufferChars - 1) {
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            lines.emplace_back(line);
        }
        start = end + 1;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t bufferChars = kBufferChars[data[0] % std::size(kBufferChars)];
    std::string file(reinterpret_cast<const char*>(data + 1), size - 1);
    std::FILE* stream = fmemopen(file.data(), file.size(), "r");
    if (!stream) return 0;
    kv::platform::CStreamTextFile text(stream);
    kv::lib::LineReader reader(text, bufferChars);
    std::vector<std::string> lines;
    while (auto line = reader.next()) lines.push_back(std::move(*line));
    check(lines == expectedLines(file, bufferChars), "the reader returns exactly the lines that fit, whole");
    return 0;
}
