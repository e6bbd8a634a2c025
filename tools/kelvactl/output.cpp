#include "output.h"

#include <cstdio>

namespace kv::kelvactl {

void Output::write(std::FILE* stream, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

void Output::print(std::string_view text) {
    if (json_) return;
    clearProgress();
    write(stdout, text);
}

void Output::printHelp(std::string_view text) {
    clearProgress();
    write(stdout, text);
}

void Output::error(int exitCode, std::string_view message) {
    clearProgress();
    write(stderr, "kelvactl: " + std::string(message) + "\n");
    if (!json_) return;
    JsonValue error = JsonValue::object();
    error.set("exit_code", exitCode).set("message", message);
    document_ = JsonValue::object().set("error", std::move(error));
}

void Output::note(std::string_view message) {
    clearProgress();
    write(stderr, "kelvactl: " + std::string(message) + "\n");
}

void Output::progress(std::string_view line) {
    if (!progressShown_) return;
    // Blanks over what the previous line left, then back to the start of the line.
    const std::string text(line);
    const std::string rest(progressWidth_ > text.size() ? progressWidth_ - text.size() : 0, ' ');
    write(stderr, "\r" + text + rest + "\r");
    progressWidth_ = text.size();
}

void Output::clearProgress() {
    if (progressWidth_ == 0) return;
    write(stderr, "\r" + std::string(progressWidth_, ' ') + "\r");
    progressWidth_ = 0;
}

void Output::finish() {
    clearProgress();
    if (json_ && document_) write(stdout, document_->text());
}

}  // namespace kv::kelvactl
