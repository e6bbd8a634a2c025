#include "kv/sim/reg_file.h"

#include <optional>
#include <string_view>

#include "kv/text.h"

namespace kv::sim {

namespace {

constexpr std::u16string_view kHeader5 = u"Windows Registry Editor Version 5.00";
constexpr std::u16string_view kHeader4 = u"REGEDIT4";

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view trimLeft(std::u16string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    return s;
}

std::u16string_view trimRight(std::u16string_view s) {
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::u16string_view trim(std::u16string_view s) { return trimRight(trimLeft(s)); }

bool startsWithIgnoreCase(std::u16string_view s, std::u16string_view prefix) {
    return s.size() >= prefix.size() && equalsIgnoreCase(s.substr(0, prefix.size()), prefix);
}

int hexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Parses 1..maxDigits hex digits making up all of `s`.
std::optional<uint32_t> parseHex(std::u16string_view s, size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits) return std::nullopt;
    uint32_t v = 0;
    for (char16_t c : s) {
        const int d = hexValue(c);
        if (d < 0) return std::nullopt;
        v = (v << 4) | uint32_t(d);
    }
    return v;
}

// Blank, or only a ; comment, after a complete value.
bool onlyCommentLeft(std::u16string_view rest) {
    rest = trimLeft(rest);
    return rest.empty() || rest.front() == u';';
}

std::string quoteForMessage(std::u16string_view s) {
    constexpr size_t kMax = 60;
    std::string out = utf16ToUtf8(s.substr(0, kMax));
    if (s.size() > kMax) out += "...";
    return "'" + out + "'";
}

std::u16string decodeUtf16le(std::span<const uint8_t> bytes) {
    std::u16string out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) out.push_back(char16_t(bytes[i] | (bytes[i + 1] << 8)));
    return out;
}

std::vector<std::u16string_view> splitLines(std::u16string_view text) {
    std::vector<std::u16string_view> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string_view::npos) end = text.size();
        std::u16string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

// One parsed value line: either a value to set or the name of a value to delete.
struct ValueEdit {
    RegValue value;
    bool remove = false;
};

class Importer {
public:
    Importer(RegistryTree& tree, std::vector<std::string>* warnings) : tree_(tree), warnings_(warnings) {}

    void run(std::span<const uint8_t> bytes) {
        decode(bytes);
        lines_ = splitLines(text_);
        size_t i = checkHeader();
        for (++i; i < lines_.size(); ++i) {
            const std::u16string_view line = trim(lines_[i]);
            if (line.empty() || line.front() == u';') continue;
            if (line.front() == u'[') {
                keyLine(i + 1, line);
            } else if (line.front() == u'"' || line.front() == u'@') {
                valueLine(i);
            } else {
                warn(i + 1, "not a [key], value or comment line; skipped");
            }
        }
    }

private:
    void decode(std::span<const uint8_t> bytes) {
        if (detectRegFileEncoding(bytes) == RegFileEncoding::Utf16le) {
            const bool bom = bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE;
            text_ = decodeUtf16le(bytes.subspan(bom ? 2 : 0));
            return;
        }
        const bool bom = bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF;
        const std::string_view chars(reinterpret_cast<const char*>(bytes.data()) + (bom ? 3 : 0),
                                     bytes.size() - (bom ? 3 : 0));
        text_ = utf8ToUtf16(chars);
        if (!bom) {
            // Without a byte order mark, a REGEDIT4 file is in the 8-bit ANSI code page.
            const auto lines = splitLines(text_);
            for (const auto& l : lines) {
                const auto t = trim(l);
                if (t.empty()) continue;
                if (equalsIgnoreCase(t, kHeader4)) {
                    text_ = ansiToUtf16(chars);
                    ansi_ = true;
                }
                break;
            }
        }
    }

    // Returns the index of the header line.
    size_t checkHeader() const {
        for (size_t i = 0; i < lines_.size(); ++i) {
            const auto t = trim(lines_[i]);
            if (t.empty()) continue;
            if (equalsIgnoreCase(t, kHeader5) || equalsIgnoreCase(t, kHeader4)) return i;
            throw RegFileError(
                i + 1, "expected the header line 'Windows Registry Editor Version 5.00', found " + quoteForMessage(t));
        }
        throw RegFileError(1, "the file is empty; expected the header line 'Windows Registry Editor Version 5.00'");
    }

    void warn(size_t lineNo, const std::string& problem) {
        if (warnings_) warnings_->push_back("line " + std::to_string(lineNo) + ": " + problem);
    }

    void keyLine(size_t lineNo, std::u16string_view line) {
        current_ = nullptr;
        sawKey_ = true;
        if (line.back() != u']') {
            warn(lineNo, "key line " + quoteForMessage(line) + " has no closing ']'; its values are skipped");
            return;
        }
        std::u16string_view path = line.substr(1, line.size() - 2);
        const bool remove = !path.empty() && path.front() == u'-';
        if (remove) path.remove_prefix(1);
        const std::string invalid = quoteForMessage(path) +
                                    " is not a valid key path (it must start with a root such as "
                                    "HKEY_LOCAL_MACHINE and have no empty parts)";
        if (remove) {
            std::u16string_view inner = path;
            if (!inner.empty() && inner.back() == u'\\') inner.remove_suffix(1);
            if (!RegistryTree::isValidPath(path)) {
                warn(lineNo, invalid);
            } else if (inner.find(u'\\') == std::u16string_view::npos) {
                warn(lineNo, "root key " + quoteForMessage(path) + " cannot be deleted");
            } else {
                tree_.remove(path);  // deleting a key that is not there is not an error
            }
            return;
        }
        current_ = tree_.create(path);
        if (!current_) warn(lineNo, invalid + "; its values are skipped");
    }

    // Reads a quoted string at s[pos] (the opening quote) with \\ and \" escapes, leaving pos after
    // the closing quote. nullopt when the closing quote is missing.
    std::optional<std::u16string> quoted(std::u16string_view s, size_t& pos, size_t lineNo) {
        std::u16string out;
        bool strayBackslash = false;
        for (++pos; pos < s.size(); ++pos) {
            const char16_t c = s[pos];
            if (c == u'"') {
                ++pos;
                if (strayBackslash) {
                    warn(lineNo,
                         "a backslash not followed by \\ or \" was kept as written; write \\\\ for a backslash");
                }
                return out;
            }
            if (c == u'\\' && pos + 1 < s.size() && (s[pos + 1] == u'\\' || s[pos + 1] == u'"')) {
                out.push_back(s[++pos]);
            } else {
                if (c == u'\\') strayBackslash = true;
                out.push_back(c);
            }
        }
        return std::nullopt;
    }

    // Joins a hex list that continues over following lines with a trailing backslash. A following
    // line only counts as a continuation when it starts with a hex digit, so a stray backslash does
    // not swallow the next value or key. `index` moves to the last line consumed.
    std::u16string joinHexList(std::u16string_view first, size_t& index) {
        std::u16string joined;
        std::u16string_view segment = first;
        while (true) {
            const size_t comment = segment.find(u';');
            if (comment != std::u16string_view::npos) segment = segment.substr(0, comment);
            segment = trimRight(segment);
            if (segment.empty() || segment.back() != u'\\') {
                joined += segment;
                return joined;
            }
            segment.remove_suffix(1);
            joined += segment;
            if (index + 1 >= lines_.size()) return joined;
            const std::u16string_view next = trimLeft(lines_[index + 1]);
            if (next.empty() || hexValue(next.front()) < 0) return joined;
            ++index;
            segment = next;
        }
    }

    std::optional<std::vector<uint8_t>> hexBytes(std::u16string_view list, size_t lineNo) {
        std::vector<uint8_t> bytes;
        list = trim(list);
        if (list.empty()) return bytes;
        size_t start = 0;
        while (true) {
            const size_t comma = list.find(u',', start);
            const bool last = comma == std::u16string_view::npos;
            const std::u16string_view item = trim(list.substr(start, last ? comma : comma - start));
            if (item.empty()) {
                if (last) return bytes;  // after a trailing comma
                warn(lineNo, "empty byte in hex list; value skipped");
                return std::nullopt;
            }
            const auto v = parseHex(item, 2);
            if (!v) {
                warn(lineNo, quoteForMessage(item) + " is not a hex byte; value skipped");
                return std::nullopt;
            }
            bytes.push_back(uint8_t(*v));
            if (last) return bytes;
            start = comma + 1;
        }
    }

    // In REGEDIT4 files string data is 8-bit ANSI; stored data is always UTF-16LE.
    static std::vector<uint8_t> ansiBytesToUtf16le(const std::vector<uint8_t>& bytes) {
        const std::u16string wide =
            ansiToUtf16(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        std::vector<uint8_t> out;
        out.reserve(wide.size() * 2);
        for (char16_t c : wide) {
            out.push_back(uint8_t(c & 0xFF));
            out.push_back(uint8_t(c >> 8));
        }
        return out;
    }

    std::optional<ValueEdit> hexValueData(std::u16string name, std::u16string_view data, size_t& index) {
        const size_t lineNo = index + 1;
        const std::u16string list = joinHexList(data, index);
        std::u16string_view rest = list;
        rest.remove_prefix(3);  // "hex"
        uint32_t type = kRegBinary;
        if (!rest.empty() && rest.front() == u'(') {
            const size_t close = rest.find(u')');
            const auto number =
                close == std::u16string_view::npos ? std::nullopt : parseHex(rest.substr(1, close - 1), 8);
            if (!number) {
                warn(lineNo, "hex(N) needs a hex type number of up to 8 digits; value skipped");
                return std::nullopt;
            }
            type = *number;
            rest.remove_prefix(close + 1);
        }
        if (rest.empty() || rest.front() != u':') {
            warn(lineNo, "expected ':' after hex or hex(N); value skipped");
            return std::nullopt;
        }
        auto bytes = hexBytes(rest.substr(1), lineNo);
        if (!bytes) return std::nullopt;
        if (ansi_ && (type == kRegSz || type == kRegExpandSz || type == kRegMultiSz))
            *bytes = ansiBytesToUtf16le(*bytes);
        return ValueEdit{RegValue{std::move(name), type, std::move(*bytes)}, false};
    }

    std::optional<ValueEdit> parseValue(std::u16string_view line, size_t& index) {
        const size_t lineNo = index + 1;
        size_t pos = 0;
        std::u16string name;
        if (line.front() == u'@') {
            pos = 1;
        } else {
            auto q = quoted(line, pos, lineNo);
            if (!q) {
                warn(lineNo, "value name has no closing quote; line skipped");
                return std::nullopt;
            }
            name = std::move(*q);
        }
        while (pos < line.size() && isBlank(line[pos])) ++pos;
        if (pos >= line.size() || line[pos] != u'=') {
            warn(lineNo, "expected '=' after the value name; line skipped");
            return std::nullopt;
        }
        const std::u16string_view data = trimLeft(line.substr(pos + 1));

        if (!data.empty() && data.front() == u'"') {
            size_t p = 0;
            auto s = quoted(data, p, lineNo);
            if (!s) {
                warn(lineNo, "string value has no closing quote; line skipped");
                return std::nullopt;
            }
            if (!onlyCommentLeft(data.substr(p))) {
                warn(lineNo, "unexpected text after the closing quote; line skipped");
                return std::nullopt;
            }
            return ValueEdit{RegValue::string(std::move(name), *s), false};
        }
        if (!data.empty() && data.front() == u'-' && onlyCommentLeft(data.substr(1))) {
            return ValueEdit{RegValue{std::move(name), kRegNone, {}}, true};
        }
        if (startsWithIgnoreCase(data, u"dword:")) {
            std::u16string_view digits = data.substr(6);
            const size_t end = digits.find_first_of(u" \t;");
            const auto v = parseHex(digits.substr(0, end), 8);
            if (!v || (end != std::u16string_view::npos && !onlyCommentLeft(digits.substr(end)))) {
                warn(lineNo, "dword: needs up to 8 hex digits; line skipped");
                return std::nullopt;
            }
            return ValueEdit{RegValue::dword(std::move(name), *v), false};
        }
        if (startsWithIgnoreCase(data, u"hex")) return hexValueData(std::move(name), data, index);
        warn(lineNo, "unrecognised value data " + quoteForMessage(data) +
                         " (expected \"string\", dword:, hex:, hex(N): or -); line skipped");
        return std::nullopt;
    }

    // `index` may advance over continuation lines.
    void valueLine(size_t& index) {
        const size_t lineNo = index + 1;
        auto edit = parseValue(trim(lines_[index]), index);
        if (!edit) return;
        if (!current_) {
            // After [-key] or a bad key line the values have nowhere to go; that key line already
            // explains why, so only values before the first key line are reported.
            if (!sawKey_) warn(lineNo, "value before the first [key] line; skipped");
            return;
        }
        if (edit->remove) {
            current_->deleteValue(edit->value.name);
        } else {
            current_->setValue(std::move(edit->value));
        }
    }

    RegistryTree& tree_;
    std::vector<std::string>* warnings_;
    std::u16string text_;
    std::vector<std::u16string_view> lines_;
    RegistryKey* current_ = nullptr;
    bool sawKey_ = false;
    bool ansi_ = false;
};

// ---- writing ----

void appendQuoted(std::u16string& out, std::u16string_view s) {
    out.push_back(u'"');
    for (char16_t c : s) {
        if (c == u'\\' || c == u'"') out.push_back(u'\\');
        out.push_back(c);
    }
    out.push_back(u'"');
}

// Data that reads back identically from "..." form: a NUL-terminated UTF-16 string with no other NUL,
// no line break (which would end the line in the file) and no surrogate without its partner (which
// UTF-8 text cannot carry).
bool isPlainString(const std::vector<uint8_t>& data) {
    if (data.size() < 2 || data.size() % 2 != 0) return false;
    const std::u16string text = decodeUtf16le(data);
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        const bool last = i + 1 == text.size();
        if ((c == 0) != last || c == u'\r' || c == u'\n') return false;
    }
    return utf8ToUtf16(utf16ToUtf8(text)) == text;
}

void appendHex(std::u16string& out, uint32_t v, int minDigits) {
    static constexpr char16_t kDigits[] = u"0123456789abcdef";
    char16_t buf[8];
    int n = 0;
    do {
        buf[n++] = kDigits[v & 15];
        v >>= 4;
    } while (v != 0);
    for (; n < minDigits; ++n) buf[n] = u'0';
    while (n > 0) out.push_back(buf[--n]);
}

// Comma-separated bytes, breaking lines with ",\" and a two-space indent so that no line runs past
// 80 columns, the layout the system's registry editor writes.
void appendHexList(std::u16string& out, size_t column, const std::vector<uint8_t>& data) {
    constexpr size_t kBreakAt = 76;
    for (size_t i = 0; i < data.size(); ++i) {
        appendHex(out, data[i], 2);
        column += 2;
        if (i + 1 == data.size()) break;
        out.push_back(u',');
        ++column;
        if (column >= kBreakAt) {
            out += u"\\\r\n  ";
            column = 2;
        }
    }
}

void appendValue(std::u16string& out, const RegValue& v) {
    const size_t lineStart = out.size();
    if (v.name.empty()) {
        out.push_back(u'@');
    } else {
        appendQuoted(out, v.name);
    }
    out.push_back(u'=');
    if (v.type == kRegSz && isPlainString(v.data)) {
        appendQuoted(out, v.asString());
    } else if (v.type == kRegDword && v.data.size() == 4) {
        out += u"dword:";
        appendHex(out, v.asDword(), 8);
    } else {
        if (v.type == kRegBinary) {
            out += u"hex:";
        } else {
            out += u"hex(";
            appendHex(out, v.type, 1);
            out += u"):";
        }
        appendHexList(out, out.size() - lineStart, v.data);
    }
    out += u"\r\n";
}

void appendKey(std::u16string& out, const RegistryKey& key, const std::u16string& path) {
    out.push_back(u'[');
    out += path;
    out += u"]\r\n";
    // Values in their stored order, the default value ("@") included, so that the enumeration
    // order survives a save and a reload.
    for (const RegValue& v : key.values()) appendValue(out, v);
    out += u"\r\n";
    for (const auto& child : key.subkeys()) appendKey(out, *child, path + u"\\" + child->name());
}

}  // namespace

RegFileError::RegFileError(size_t line, const std::string& problem)
    : std::runtime_error("line " + std::to_string(line) + ": " + problem), line_(line) {}

RegFileEncoding detectRegFileEncoding(std::span<const uint8_t> bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return RegFileEncoding::Utf16le;
    if (bytes.size() >= 2 && bytes[0] != 0 && bytes[1] == 0) return RegFileEncoding::Utf16le;
    return RegFileEncoding::Utf8;
}

void applyRegFile(RegistryTree& tree, std::span<const uint8_t> bytes, std::vector<std::string>* warnings) {
    Importer(tree, warnings).run(bytes);
}

RegistryTree parseRegFile(std::span<const uint8_t> bytes, std::vector<std::string>* warnings) {
    RegistryTree tree;
    applyRegFile(tree, bytes, warnings);
    return tree;
}

std::vector<uint8_t> writeRegFile(const RegistryTree& tree, RegFileEncoding encoding) {
    std::u16string text(kHeader5);
    text += u"\r\n\r\n";
    for (const auto& root : tree.roots()) {
        if (root->values().empty() && root->subkeys().empty()) continue;
        appendKey(text, *root, root->name());
    }
    std::vector<uint8_t> out;
    if (encoding == RegFileEncoding::Utf16le) {
        out.reserve(2 + text.size() * 2);
        out.push_back(0xFF);
        out.push_back(0xFE);
        for (char16_t c : text) {
            out.push_back(uint8_t(c & 0xFF));
            out.push_back(uint8_t(c >> 8));
        }
    } else {
        const std::string utf8 = utf16ToUtf8(text);
        out.assign(utf8.begin(), utf8.end());
    }
    return out;
}

}  // namespace kv::sim
