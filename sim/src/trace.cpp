#include "kv/sim/trace.h"

#include <cstdio>

namespace kv::sim {

void Trace::openFile(const std::string& path) { file_.open(path, std::ios::app | std::ios::binary); }

void Trace::keepLines(bool keep) {
    keepLines_ = keep;
    if (!keep) std::vector<std::string>().swap(lines_);
}

void Trace::add(std::string line) {
    if (file_.is_open()) {
        line.push_back('\n');
        file_.write(line.data(), static_cast<std::streamsize>(line.size()));
        file_.flush();
        line.pop_back();
    }
    if (keepLines_) lines_.push_back(std::move(line));
}

std::vector<std::string> Trace::linesOf(std::string_view kind) const {
    std::vector<std::string> out;
    for (const auto& l : lines_)
        if (l.size() > kind.size() && l.compare(0, kind.size(), kind) == 0 && l[kind.size()] == ' ') out.push_back(l);
    return out;
}

std::string Trace::hex(std::span<const uint8_t> bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    return out;
}

std::string Trace::escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out.push_back(c);
    }
    return out;
}

std::string Trace::hexNumber(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace kv::sim
