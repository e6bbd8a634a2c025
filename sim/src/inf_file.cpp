#include "kv/sim/inf_file.h"

#include <unordered_map>

#include "kv/text.h"

namespace kv::sim {

namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool isLineEnd(char16_t c) { return c == u'\r' || c == u'\n'; }

std::u16string_view trim(std::u16string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::u16string lower(std::u16string_view s) {
    std::u16string out(s);
    for (auto& c : out) c = asciiLower(c);
    return out;
}

size_t findLineEnd(std::u16string_view t, size_t pos) {
    while (pos < t.size() && !isLineEnd(t[pos])) ++pos;
    return pos;
}

// Position after the line break at `pos` (CRLF, LF or a lone CR).
size_t skipLineEnd(std::u16string_view t, size_t pos) {
    if (pos < t.size() && t[pos] == u'\r') ++pos;
    if (pos < t.size() && t[pos] == u'\n') ++pos;
    return pos;
}

// Collects one field: leading blanks are skipped and trailing blanks dropped, except where quoted.
class FieldBuilder {
public:
    void plain(char16_t c) {
        if (isBlank(c)) {
            if (started_) text_.push_back(c);
            return;
        }
        text_.push_back(c);
        keep_ = text_.size();
        started_ = true;
    }
    void quoted(char16_t c) {
        text_.push_back(c);
        keep_ = text_.size();
    }
    void openQuote() {
        started_ = true;
        keep_ = text_.size();
    }
    std::u16string take() {
        text_.resize(keep_);
        std::u16string out = std::move(text_);
        text_.clear();
        keep_ = 0;
        started_ = false;
        return out;
    }

private:
    std::u16string text_;
    size_t keep_ = 0;
    bool started_ = false;
};

// Reads the logical line starting at `pos` (which may span several physical lines through
// continuations) and leaves `pos` at the start of the next one. nullopt for blank and comment lines.
std::optional<InfLine> readLine(std::u16string_view t, size_t& pos) {
    InfLine line;
    FieldBuilder field;
    bool touched = false;  // anything seen that makes a value: text, quotes or commas
    bool inQuotes = false;
    while (pos < t.size()) {
        const char16_t c = t[pos];
        if (isLineEnd(c)) {
            pos = skipLineEnd(t, pos);
            break;  // an open quote closes here too
        }
        if (inQuotes) {
            if (c != u'"') {
                field.quoted(c);
                ++pos;
            } else if (pos + 1 < t.size() && t[pos + 1] == u'"') {
                field.quoted(u'"');
                pos += 2;
            } else {
                inQuotes = false;
                ++pos;
            }
            continue;
        }
        switch (c) {
            case u';':
                pos = findLineEnd(t, pos);
                continue;
            case u'"':
                inQuotes = true;
                touched = true;
                field.openQuote();
                ++pos;
                continue;
            case u',':
                line.fields.push_back(field.take());
                touched = true;
                ++pos;
                continue;
            case u'=':
                // Only the first '=' before any comma separates the key; later ones are text.
                if (!line.key && line.fields.empty()) {
                    line.key = field.take();
                    touched = false;
                    ++pos;
                    continue;
                }
                break;
            case u'\\': {
                size_t next = pos + 1;
                while (next < t.size() && isBlank(t[next])) ++next;
                if (next >= t.size() || isLineEnd(t[next])) {
                    pos = skipLineEnd(t, next);
                    continue;
                }
                break;
            }
            default:
                break;
        }
        field.plain(c);
        if (!isBlank(c)) touched = true;
        ++pos;
    }
    if (!line.key && !touched) return std::nullopt;
    if (touched) line.fields.push_back(field.take());
    return line;
}

using StringTable = std::unordered_map<std::u16string, std::u16string>;

// Replaces %strkey% tokens, pairing percent signs left to right.
std::u16string substitute(const std::u16string& s, const StringTable& strings) {
    if (s.find(u'%') == std::u16string::npos) return s;
    std::u16string out;
    size_t i = 0;
    while (i < s.size()) {
        if (s[i] != u'%') {
            out.push_back(s[i++]);
            continue;
        }
        const size_t close = s.find(u'%', i + 1);
        if (close == std::u16string::npos) {
            out.append(s, i);
            break;
        }
        if (close == i + 1) {
            out.push_back(u'%');
        } else if (const auto it = strings.find(lower(std::u16string_view(s).substr(i + 1, close - i - 1)));
                   it != strings.end()) {
            out += it->second;
        } else {
            out.append(s, i, close - i + 1);
        }
        i = close + 1;
    }
    return out;
}

std::u16string decodeUtf16le(std::span<const uint8_t> bytes) {
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) out.push_back(char16_t(bytes[i] | (bytes[i + 1] << 8)));
    return out;
}

}  // namespace

std::optional<std::u16string> InfLine::field(size_t index) const {
    if (index == 0) {
        if (key) return key;
        if (!fields.empty()) return fields.front();
        return std::nullopt;
    }
    if (index - 1 < fields.size()) return fields[index - 1];
    return std::nullopt;
}

InfFile InfFile::parse(std::u16string_view text) {
    InfFile file;
    constexpr size_t kNone = static_cast<size_t>(-1);
    size_t current = kNone;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t first = pos;
        while (first < text.size() && isBlank(text[first])) ++first;
        if (first < text.size() && text[first] == u'[') {
            const size_t end = findLineEnd(text, first);
            const std::u16string_view header = text.substr(first + 1, end - first - 1);
            const std::u16string_view name = trim(header.substr(0, header.find(u']')));
            current = kNone;
            for (size_t i = 0; i < file.sections_.size() && current == kNone; ++i) {
                if (equalsIgnoreCase(file.sections_[i].name, name)) current = i;
            }
            if (current == kNone) {
                file.sections_.push_back(Section{std::u16string(name), {}});
                current = file.sections_.size() - 1;
            }
            pos = skipLineEnd(text, end);
            continue;
        }
        auto line = readLine(text, pos);
        if (line && current != kNone) file.sections_[current].lines.push_back(std::move(*line));
    }

    StringTable strings;
    const Section* stringsSection = nullptr;
    for (const auto& s : file.sections_) {
        if (equalsIgnoreCase(s.name, u"Strings")) stringsSection = &s;
    }
    if (!stringsSection) return file;
    for (const auto& line : stringsSection->lines) {
        if (line.key) strings.emplace(lower(*line.key), line.fields.empty() ? std::u16string() : line.fields.front());
    }
    for (auto& s : file.sections_) {
        if (&s == stringsSection) continue;
        for (auto& line : s.lines) {
            if (line.key) line.key = substitute(*line.key, strings);
            for (auto& f : line.fields) f = substitute(f, strings);
        }
    }
    return file;
}

InfFile InfFile::parseBytes(std::span<const uint8_t> bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return parse(decodeUtf16le(bytes.subspan(2)));
    const auto* chars = reinterpret_cast<const char*>(bytes.data());
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) {
        return parse(utf8ToUtf16(std::string_view(chars + 3, bytes.size() - 3)));
    }
    return parse(ansiToUtf16(std::string_view(chars, bytes.size())));
}

const std::vector<InfLine>* InfFile::section(std::u16string_view name) const {
    for (const auto& s : sections_)
        if (equalsIgnoreCase(s.name, name)) return &s.lines;
    return nullptr;
}

std::vector<std::u16string> InfFile::sectionNames() const {
    std::vector<std::u16string> names;
    names.reserve(sections_.size());
    for (const auto& s : sections_) names.push_back(s.name);
    return names;
}

const InfLine* InfFile::findLine(std::u16string_view sectionName, std::u16string_view key) const {
    const auto* lines = section(sectionName);
    if (!lines) return nullptr;
    for (const auto& line : *lines)
        if (line.key && equalsIgnoreCase(*line.key, key)) return &line;
    return nullptr;
}

}  // namespace kv::sim
