// What kelvactl writes: text for people on standard output as it goes, or one JSON document at the
// end; error lines and notices on standard error; a progress line on standard error while it is a
// terminal, cleared before anything else is written.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "kv/json_value.h"

namespace kv::kelvactl {

class Output {
public:
    Output(bool json, bool progressShown) : json_(json), progressShown_(progressShown) {}
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    bool json() const { return json_; }

    // Text mode: written at once. Ignored in JSON mode.
    void print(std::string_view text);
    // Help is text in either mode.
    void printHelp(std::string_view text);
    // JSON mode: the document written at the end (the last one given).
    void setDocument(JsonValue document) { document_ = std::move(document); }
    // An error line "kelvactl: <message>" on standard error; in JSON mode the document becomes
    // {"error": {"exit_code": n, "message": "..."}}.
    void error(int exitCode, std::string_view message);
    // A line on standard error that is no error (what Ctrl+C does, the library's own messages).
    void note(std::string_view message);

    // Replaces the progress line (nothing unless standard error is a terminal).
    void progress(std::string_view line);
    void clearProgress();

    // Writes the JSON document, if any.
    void finish();

private:
    static void write(std::FILE* stream, std::string_view text);

    bool json_;
    bool progressShown_;
    size_t progressWidth_ = 0;
    std::optional<JsonValue> document_;
};

}  // namespace kv::kelvactl
