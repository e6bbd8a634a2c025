// Plain-text layouts for people: label and value lines, and tables whose columns line up (widths
// counted in characters of the UTF-8 text, not bytes).
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv::jobs {

// Lines of label and value: the values in one column, two blanks after the longest label. A value
// of several lines continues in the value column.
class LabelValueText {
public:
    explicit LabelValueText(size_t indent = 2) : indent_(indent) {}
    LabelValueText& add(std::string_view label, std::string_view value);
    bool empty() const { return rows_.empty(); }
    std::string text() const;

private:
    size_t indent_;
    std::vector<std::pair<std::string, std::string>> rows_;
};

// The rows as a table, the first row its header: every column but the last padded to its widest
// cell, two blanks between columns, each line after `indent` blanks.
std::string tableText(const std::vector<std::vector<std::string>>& rows, size_t indent = 0);

// Characters of UTF-8 text (continuation bytes not counted).
size_t displayWidth(std::string_view text);

// Equal texts when ASCII letters are compared without regard to case, as Windows compares names.
bool sameLetters(std::string_view a, std::string_view b);

// One short text in a printf format of the code (never a text from outside), as the pages format
// their values ("%04X", "Bus: %04X, Slot: %04X").
template <typename... Args>
std::string formatted(const char* format, Args... args) {
    char text[64];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

}  // namespace kv::jobs
