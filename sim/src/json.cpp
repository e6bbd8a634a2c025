#include "kv/sim/json.h"

#include "kv/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>

namespace kv::sim {

namespace detail {
// Lets the parser hand over members it has already checked for duplicates, avoiding set()'s lookups.
struct JsonAccess {
    static Json makeObject(std::vector<Json::Member> members) {
        Json j;
        j.value_ = std::move(members);
        return j;
    }
};
}  // namespace detail

namespace {

constexpr int kMaxDepth = 200;

const Json& nullJson() {
    static const Json kNull;
    return kNull;
}

// Length of the well-formed UTF-8 sequence starting at s[pos], or 0 when it is malformed (bad lead
// byte, missing continuation, overlong form, surrogate code point or beyond U+10FFFF).
size_t utf8SequenceLength(std::string_view s, size_t pos) {
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) return 1;
    size_t len = 0;
    char32_t cp = 0;
    char32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (pos + len > s.size()) return 0;
    for (size_t i = 1; i < len; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) return 0;
    return len;
}


bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isWordChar(char c) { return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }

class Parser {
public:
    explicit Parser(std::string_view text) : s_(text) {}

    Json parseDocument() {
        if (s_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
        skipSpace();
        if (atEnd()) fail(pos_, "the document is empty; expected a value");
        Json result = parseValue(0);
        skipSpace();
        if (!atEnd()) fail(pos_, "unexpected " + describe(pos_) + " after the end of the document");
        return result;
    }

private:
    bool atEnd() const { return pos_ >= s_.size(); }
    char peek() const { return atEnd() ? '\0' : s_[pos_]; }

    // Line and column (both from 1) of byte offset `at`; columns count characters, not bytes.
    std::pair<size_t, size_t> locate(size_t at) const {
        size_t line = 1;
        size_t column = 1;
        for (size_t i = 0; i < at && i < s_.size(); ++i) {
            if (s_[i] == '\n') {
                ++line;
                column = 1;
            } else if ((static_cast<unsigned char>(s_[i]) & 0xC0) != 0x80) {
                ++column;  // UTF-8 continuation bytes do not start a character
            }
        }
        return {line, column};
    }

    [[noreturn]] void fail(size_t at, const std::string& problem) const {
        const auto [line, column] = locate(at);
        throw JsonError(line, column, problem);
    }

    // Human-readable name of the character at `at`, for error messages.
    std::string describe(size_t at) const {
        if (at >= s_.size()) return "end of input";
        const auto c = static_cast<unsigned char>(s_[at]);
        if (c >= 0x20 && c < 0x7F) return std::string("'") + char(c) + "'";
        if (c < 0x80) {
            static const char* kHex = "0123456789ABCDEF";
            return std::string("control character 0x") + kHex[c >> 4] + kHex[c & 15];
        }
        const size_t len = utf8SequenceLength(s_, at);
        if (len == 0) return "invalid UTF-8 byte (the file must be saved as UTF-8)";
        return "'" + std::string(s_.substr(at, len)) + "'";
    }

    std::string positionOf(size_t at) const {
        const auto [line, column] = locate(at);
        return "line " + std::to_string(line) + ", column " + std::to_string(column);
    }

    void skipSpace() {
        while (!atEnd()) {
            const char c = s_[pos_];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
                ++pos_;
            } else if (c == '/' && pos_ + 1 < s_.size() && s_[pos_ + 1] == '/') {
                while (!atEnd() && s_[pos_] != '\n') ++pos_;
            } else if (c == '/') {
                fail(pos_, "unexpected '/'; only // line comments are allowed");
            } else {
                return;
            }
        }
    }

    Json parseValue(int depth) {
        skipSpace();
        if (atEnd()) fail(pos_, "expected a value but reached the end of the input");
        const char c = s_[pos_];
        switch (c) {
            case '{':
                return parseObject(depth + 1);
            case '[':
                return parseArray(depth + 1);
            case '"':
                return Json(parseString());
            case '\'':
                fail(pos_, "strings must be enclosed in double quotes");
            case ',':
            case ']':
            case '}':
                fail(pos_, "expected a value before " + describe(pos_));
            default:
                break;
        }
        if (c == '-' || isDigit(c)) return parseNumber();
        if (isWordChar(c)) return parseWord();
        if (c == '+') fail(pos_, "numbers must not start with '+'");
        fail(pos_, "unexpected " + describe(pos_) + "; expected a value");
    }

    Json parseWord() {
        const size_t start = pos_;
        while (!atEnd() && isWordChar(s_[pos_])) ++pos_;
        const std::string_view word = s_.substr(start, pos_ - start);
        if (word == "true") return Json(true);
        if (word == "false") return Json(false);
        if (word == "null") return Json();
        fail(start, "unknown word '" + std::string(word) +
                        "'; expected true, false, null, a number or a double-quoted string");
    }

    Json parseObject(int depth) {
        const size_t open = pos_;
        if (depth > kMaxDepth) fail(open, "objects and arrays are nested more than 200 levels deep");
        ++pos_;
        std::vector<size_t> keyOffsets;
        std::vector<Json::Member> members;
        skipSpace();
        if (peek() == '}') {
            ++pos_;
            return Json::object();
        }
        while (true) {
            skipSpace();
            if (atEnd()) fail(pos_, "unterminated object opened at " + positionOf(open));
            if (peek() == '}') {  // after a trailing comma
                ++pos_;
                break;
            }
            if (peek() != '"') {
                fail(pos_, "expected a member name in double quotes, found " + describe(pos_));
            }
            keyOffsets.push_back(pos_);
            std::string key = parseString();
            skipSpace();
            if (peek() != ':') fail(pos_, "expected ':' after member name \"" + key + "\", found " + describe(pos_));
            ++pos_;
            Json value = parseValue(depth);
            members.emplace_back(std::move(key), std::move(value));
            skipSpace();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == '}') {
                ++pos_;
                break;
            }
            if (atEnd()) fail(pos_, "unterminated object opened at " + positionOf(open));
            fail(pos_,
                 "expected ',' or '}' after the value of \"" + members.back().first + "\", found " + describe(pos_));
        }
        rejectDuplicates(members, keyOffsets);
        return detail::JsonAccess::makeObject(std::move(members));
    }

    // Reports the first repeated member name in document order. Sorting keeps large objects cheap.
    void rejectDuplicates(const std::vector<Json::Member>& members, const std::vector<size_t>& offsets) const {
        std::vector<size_t> order(members.size());
        std::iota(order.begin(), order.end(), size_t{0});
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return members[a].first < members[b].first; });
        size_t firstRepeat = members.size();
        for (size_t i = 1; i < order.size(); ++i) {
            if (members[order[i]].first == members[order[i - 1]].first) firstRepeat = std::min(firstRepeat, order[i]);
        }
        if (firstRepeat < members.size()) {
            fail(offsets[firstRepeat], "duplicate member name \"" + members[firstRepeat].first + "\"");
        }
    }

    Json parseArray(int depth) {
        const size_t open = pos_;
        if (depth > kMaxDepth) fail(open, "objects and arrays are nested more than 200 levels deep");
        ++pos_;
        Json result = Json::array();
        skipSpace();
        if (peek() == ']') {
            ++pos_;
            return result;
        }
        while (true) {
            skipSpace();
            if (peek() == ']') {  // after a trailing comma
                ++pos_;
                return result;
            }
            if (atEnd()) fail(pos_, "unterminated array opened at " + positionOf(open));
            result.push_back(parseValue(depth));
            skipSpace();
            if (peek() == ',') {
                ++pos_;
                continue;
            }
            if (peek() == ']') {
                ++pos_;
                return result;
            }
            if (atEnd()) fail(pos_, "unterminated array opened at " + positionOf(open));
            fail(pos_, "expected ',' or ']' after an array element, found " + describe(pos_));
        }
    }

    unsigned readHex4(size_t at) const {
        if (at + 4 > s_.size()) fail(at - 2, "\\u must be followed by four hex digits");
        unsigned v = 0;
        for (size_t i = 0; i < 4; ++i) {
            const int d = hexDigitValue(s_[at + i]);
            if (d < 0) fail(at - 2, "\\u must be followed by four hex digits");
            v = (v << 4) | unsigned(d);
        }
        return v;
    }

    std::string parseString() {
        const size_t open = pos_;
        ++pos_;
        std::string out;
        while (true) {
            if (atEnd()) fail(open, "unterminated string");
            const char c = s_[pos_];
            const auto uc = static_cast<unsigned char>(c);
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (c == '\n' || c == '\r') fail(pos_, "line break inside a string; is the closing quote missing?");
            if (uc < 0x20) fail(pos_, describe(pos_) + " inside a string; write it as \\u00XX");
            if (uc >= 0x80) {
                const size_t len = utf8SequenceLength(s_, pos_);
                if (len == 0) fail(pos_, "invalid UTF-8 byte in string (the file must be saved as UTF-8)");
                out.append(s_.substr(pos_, len));
                pos_ += len;
                continue;
            }
            if (c != '\\') {
                out.push_back(c);
                ++pos_;
                continue;
            }
            const size_t escape = pos_;
            if (escape + 1 >= s_.size()) fail(open, "unterminated string");
            const char e = s_[escape + 1];
            pos_ += 2;
            switch (e) {
                case '"':
                    out.push_back('"');
                    break;
                case '\\':
                    out.push_back('\\');
                    break;
                case '/':
                    out.push_back('/');
                    break;
                case 'b':
                    out.push_back('\b');
                    break;
                case 'f':
                    out.push_back('\f');
                    break;
                case 'n':
                    out.push_back('\n');
                    break;
                case 'r':
                    out.push_back('\r');
                    break;
                case 't':
                    out.push_back('\t');
                    break;
                case 'u': {
                    char32_t cp = readHex4(pos_);
                    pos_ += 4;
                    if (cp >= 0xDC00 && cp < 0xE000) fail(escape, "\\u escape is a lone low surrogate");
                    if (cp >= 0xD800 && cp < 0xDC00) {
                        if (s_.substr(pos_, 2) != "\\u") {
                            fail(escape, "\\u escape is a high surrogate not followed by a \\u low surrogate");
                        }
                        const char32_t low = readHex4(pos_ + 2);
                        if (low < 0xDC00 || low >= 0xE000) {
                            fail(escape, "\\u escape is a high surrogate not followed by a \\u low surrogate");
                        }
                        pos_ += 6;
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    }
                    appendUtf8(out, cp);
                    break;
                }
                default:
                    if (e == '\'' || e == 'x' || isDigit(e) || (e >= 'a' && e <= 'z') || (e >= 'A' && e <= 'Z')) {
                        fail(escape, std::string("invalid escape '\\") + e +
                                         "'; a backslash must be written as \\\\ (as in Windows paths)");
                    }
                    fail(escape, "invalid escape after a backslash; a backslash must be written as \\\\");
            }
        }
    }

    Json parseNumber() {
        const size_t start = pos_;
        bool negative = false;
        if (peek() == '-') {
            negative = true;
            ++pos_;
        }
        if (!isDigit(peek())) fail(start, "'-' must be followed by a digit");
        const size_t intStart = pos_;
        if (peek() == '0') {
            ++pos_;
            if (peek() == 'x' || peek() == 'X') {
                fail(start, "hex numbers are not allowed; write them as a string such as \"0x1D7A\"");
            }
            if (isDigit(peek())) fail(start, "numbers must not have leading zeros");
        } else {
            while (isDigit(peek())) ++pos_;
        }
        const size_t intDigits = pos_ - intStart;
        bool integer = true;
        size_t leadingFractionZeros = 0;
        if (peek() == '.') {
            integer = false;
            ++pos_;
            if (!isDigit(peek())) fail(pos_, "expected a digit after the decimal point");
            const size_t fracStart = pos_;
            while (peek() == '0') ++pos_;
            leadingFractionZeros = pos_ - fracStart;
            while (isDigit(peek())) ++pos_;
        }
        long exponent = 0;
        if (peek() == 'e' || peek() == 'E') {
            integer = false;
            ++pos_;
            bool negExp = false;
            if (peek() == '+' || peek() == '-') negExp = s_[pos_++] == '-';
            if (!isDigit(peek())) fail(pos_, "expected a digit in the exponent");
            while (isDigit(peek())) {
                exponent = std::min(exponent * 10 + (s_[pos_] - '0'), 100000L);
                ++pos_;
            }
            if (negExp) exponent = -exponent;
        }
        if (isWordChar(peek())) fail(start, "invalid number");
        const char* first = s_.data() + start;
        const char* last = s_.data() + pos_;
        if (integer) {
            if (negative) {
                int64_t v = 0;
                if (std::from_chars(first, last, v).ec == std::errc()) return Json(v);
            } else {
                uint64_t v = 0;
                if (std::from_chars(first, last, v).ec == std::errc()) return Json(v);
            }
            // Too large for 64 bits: fall through to a double.
        }
        double d = 0;
        const auto r = std::from_chars(first, last, d);
        if (r.ec == std::errc::result_out_of_range) {
            // Decimal magnitude of the leading digit tells underflow (becomes zero) from overflow.
            const bool zeroIntPart = intDigits == 1 && s_[intStart] == '0';
            const long magnitude = (zeroIntPart ? -long(leadingFractionZeros) - 1 : long(intDigits) - 1) + exponent;
            if (magnitude < 0) return Json(negative ? -0.0 : 0.0);
            fail(start, "number is too large");
        }
        if (r.ec != std::errc()) fail(start, "invalid number");
        return Json(d);
    }

    std::string_view s_;
    size_t pos_ = 0;
};

void writeString(std::string& out, std::string_view s) {
    static const char* kHex = "0123456789abcdef";
    out.push_back('"');
    for (size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            const size_t len = utf8SequenceLength(s, i);
            if (len == 0) {
                out += "\xEF\xBF\xBD";  // U+FFFD keeps the output valid UTF-8
                ++i;
            } else {
                out.append(s.substr(i, len));
                i += len;
            }
            continue;
        }
        ++i;
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c < 0x20) {
                    out += "\\u00";
                    out.push_back(kHex[c >> 4]);
                    out.push_back(kHex[c & 15]);
                } else {
                    out.push_back(char(c));
                }
        }
    }
    out.push_back('"');
}

template <typename T>
void writeNumber(std::string& out, T v) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void writeDouble(std::string& out, double d) {
    if (!std::isfinite(d)) {
        out += "null";
        return;
    }
    const size_t start = out.size();
    writeNumber(out, d);
    if (out.find_first_of(".e", start) == std::string::npos) out += ".0";
}

void newline(std::string& out, int indent, int level) {
    if (indent <= 0) return;
    out.push_back('\n');
    out.append(size_t(indent) * size_t(level), ' ');
}

void writeValue(std::string& out, const Json& v, int indent, int level) {
    switch (v.type()) {
        case Json::Type::Null:
            out += "null";
            return;
        case Json::Type::Bool:
            out += v.asBool() ? "true" : "false";
            return;
        case Json::Type::Number:
            if (!v.isInteger()) {
                writeDouble(out, v.asDouble());
            } else if (const uint64_t u = v.asUInt(0); u > uint64_t(std::numeric_limits<int64_t>::max())) {
                writeNumber(out, u);
            } else {
                writeNumber(out, v.asInt());
            }
            return;
        case Json::Type::String:
            writeString(out, v.asString());
            return;
        case Json::Type::Array: {
            if (v.size() == 0) {
                out += "[]";
                return;
            }
            out.push_back('[');
            bool first = true;
            for (const Json& e : v.elements()) {
                if (!first) out.push_back(',');
                first = false;
                newline(out, indent, level + 1);
                writeValue(out, e, indent, level + 1);
            }
            newline(out, indent, level);
            out.push_back(']');
            return;
        }
        case Json::Type::Object: {
            if (v.size() == 0) {
                out += "{}";
                return;
            }
            out.push_back('{');
            bool first = true;
            for (const auto& [key, member] : v.items()) {
                if (!first) out.push_back(',');
                first = false;
                newline(out, indent, level + 1);
                writeString(out, key);
                out += indent > 0 ? ": " : ":";
                writeValue(out, member, indent, level + 1);
            }
            newline(out, indent, level);
            out.push_back('}');
            return;
        }
    }
}

}  // namespace

JsonError::JsonError(size_t line, size_t column, const std::string& problem)
    : std::runtime_error("line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + problem),
      line_(line),
      column_(column) {}

Json::Json(uint64_t value) {
    if (value <= uint64_t(std::numeric_limits<int64_t>::max())) {
        value_ = int64_t(value);
    } else {
        value_ = value;
    }
}

Json Json::array() {
    Json j;
    j.value_ = Array{};
    return j;
}

Json Json::object() {
    Json j;
    j.value_ = Object{};
    return j;
}

void Json::push_back(Json value) {
    if (isNull()) value_ = Array{};
    if (auto* a = std::get_if<Array>(&value_)) a->push_back(std::move(value));
}

void Json::set(std::string_view key, Json value) {
    if (isNull()) value_ = Object{};
    auto* o = std::get_if<Object>(&value_);
    if (!o) return;
    for (auto& member : *o) {
        if (member.first == key) {
            member.second = std::move(value);
            return;
        }
    }
    o->emplace_back(std::string(key), std::move(value));
}

Json::Type Json::type() const {
    if (isNull()) return Type::Null;
    if (isBool()) return Type::Bool;
    if (isNumber()) return Type::Number;
    if (isString()) return Type::String;
    if (isArray()) return Type::Array;
    return Type::Object;
}

const Json& Json::operator[](std::string_view key) const {
    if (const auto* o = std::get_if<Object>(&value_)) {
        for (const auto& member : *o)
            if (member.first == key) return member.second;
    }
    return nullJson();
}

const Json& Json::operator[](size_t index) const {
    if (const auto* a = std::get_if<Array>(&value_)) {
        if (index < a->size()) return (*a)[index];
    }
    return nullJson();
}

bool Json::contains(std::string_view key) const {
    if (const auto* o = std::get_if<Object>(&value_)) {
        for (const auto& member : *o)
            if (member.first == key) return true;
    }
    return false;
}

size_t Json::size() const {
    if (const auto* a = std::get_if<Array>(&value_)) return a->size();
    if (const auto* o = std::get_if<Object>(&value_)) return o->size();
    return 0;
}

const std::vector<Json::Member>& Json::items() const {
    static const Object kEmpty;
    const auto* o = std::get_if<Object>(&value_);
    return o ? *o : kEmpty;
}

const std::vector<Json>& Json::elements() const {
    static const Array kEmpty;
    const auto* a = std::get_if<Array>(&value_);
    return a ? *a : kEmpty;
}

bool Json::asBool(bool def) const {
    const auto* b = std::get_if<bool>(&value_);
    return b ? *b : def;
}

int64_t Json::asInt(int64_t def) const {
    if (const auto* i = std::get_if<int64_t>(&value_)) return *i;
    if (const auto* d = std::get_if<double>(&value_)) {
        // -2^63 is exact as a double; 2^63 is the first value out of range.
        if (*d >= -9223372036854775808.0 && *d < 9223372036854775808.0 && std::trunc(*d) == *d) return int64_t(*d);
    }
    return def;
}

uint64_t Json::asUInt(uint64_t def) const {
    if (const auto* i = std::get_if<int64_t>(&value_)) return *i >= 0 ? uint64_t(*i) : def;
    if (const auto* u = std::get_if<uint64_t>(&value_)) return *u;
    if (const auto* d = std::get_if<double>(&value_)) {
        if (*d >= 0 && *d < 18446744073709551616.0 && std::trunc(*d) == *d) return uint64_t(*d);
    }
    return def;
}

double Json::asDouble(double def) const {
    if (const auto* i = std::get_if<int64_t>(&value_)) return double(*i);
    if (const auto* u = std::get_if<uint64_t>(&value_)) return double(*u);
    if (const auto* d = std::get_if<double>(&value_)) return *d;
    return def;
}

std::string Json::asString(std::string def) const {
    const auto* s = std::get_if<std::string>(&value_);
    return s ? *s : def;
}

uint64_t Json::asUIntOrHex(uint64_t def) const {
    if (isNumber()) return asUInt(def);
    const auto* s = std::get_if<std::string>(&value_);
    if (!s || s->empty()) return def;
    std::string_view text = *s;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    uint64_t v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v, base);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return def;
    return v;
}

Json parseJson(std::string_view text) { return Parser(text).parseDocument(); }

std::string writeJson(const Json& value, int indent) {
    std::string out;
    writeValue(out, value, indent, 0);
    return out;
}

}  // namespace kv::sim
