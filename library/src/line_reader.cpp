#include "line_reader.h"

namespace kv::lib {

namespace {

bool endsLine(const std::string& chunk) { return !chunk.empty() && chunk.back() == '\n'; }

std::string withoutLineEnd(std::string line) {
    if (endsLine(line)) line.pop_back();
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

std::optional<std::string> LineReader::next() {
    std::string chunk;
    while (file_.readLine(&chunk, bufferChars_)) {
        if (endsLine(chunk)) return withoutLineEnd(std::move(chunk));
        // A chunk without a line feed filled the buffer or ended the file: look at what follows.
        std::string rest;
        if (!file_.readLine(&rest, bufferChars_) || rest == "\n") return withoutLineEnd(std::move(chunk));
        while (!endsLine(rest) && file_.readLine(&rest, bufferChars_)) {
        }
    }
    return std::nullopt;
}

}  // namespace kv::lib
