#include "kv/jobs/text_layout.h"

#include <algorithm>

namespace kv::jobs {

namespace {

std::string padded(std::string_view text, size_t width) {
    return std::string(text) + std::string(width > displayWidth(text) ? width - displayWidth(text) : 0, ' ');
}

}  // namespace

size_t displayWidth(std::string_view text) {
    return static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

bool sameLetters(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

LabelValueText& LabelValueText::add(std::string_view label, std::string_view value) {
    rows_.emplace_back(label, value);
    return *this;
}

std::string LabelValueText::text() const {
    size_t labelWidth = 0;
    for (const auto& row : rows_) labelWidth = std::max(labelWidth, displayWidth(row.first));
    const std::string indent(indent_, ' ');
    std::string out;
    for (const auto& [label, value] : rows_) {
        std::string line = indent + padded(label, labelWidth + 2);
        size_t start = 0;
        for (;;) {
            const size_t end = value.find('\n', start);
            line += value.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (end == std::string::npos) break;
            out += line + "\n";
            line = indent + std::string(labelWidth + 2, ' ');
            start = end + 1;
        }
        // No blanks after a last column that is empty.
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line + "\n";
    }
    return out;
}

std::string tableText(const std::vector<std::vector<std::string>>& rows, size_t indent) {
    std::vector<size_t> widths;
    for (const auto& row : rows) {
        if (widths.size() < row.size()) widths.resize(row.size(), 0);
        for (size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], displayWidth(row[c]));
    }
    std::string out;
    for (const auto& row : rows) {
        std::string line(indent, ' ');
        for (size_t c = 0; c < row.size(); ++c) line += c + 1 == row.size() ? row[c] : padded(row[c], widths[c]) + "  ";
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line + "\n";
    }
    return out;
}

}  // namespace kv::jobs
