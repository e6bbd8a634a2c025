// A small ordered JSON tree and its text, for the documents the suite's programs write (a
// captured machine.json, kelvactl's output). Objects keep the order their members were set in,
// so a document reads like a hand-written one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv {

class JsonValue {
public:
    JsonValue() : scalar_("null") {}
    JsonValue(bool value) : scalar_(value ? "true" : "false") {}
    JsonValue(int64_t value) : scalar_(std::to_string(value)) {}
    JsonValue(uint64_t value) : scalar_(std::to_string(value)) {}
    JsonValue(int value) : JsonValue(static_cast<int64_t>(value)) {}
    JsonValue(uint32_t value) : JsonValue(static_cast<uint64_t>(value)) {}
    // Text is UTF-8; a malformed sequence in it is written as U+FFFD.
    JsonValue(std::string_view text) : scalar_(quoted(text)) {}
    JsonValue(const char* text) : JsonValue(std::string_view(text)) {}
    JsonValue(const std::string& text) : JsonValue(std::string_view(text)) {}

    static JsonValue object();
    static JsonValue array();
    // The shortest text that reads back as the same double; null for infinities and NaN, which
    // JSON has no words for.
    static JsonValue number(double value);

    // Adds or replaces a member of an object; returns the object.
    JsonValue& set(std::string_view key, JsonValue value);
    // The member, added as an empty object when missing.
    JsonValue& member(std::string_view key);
    JsonValue& push(JsonValue value);

    bool isObject() const { return kind_ == Kind::Object; }
    bool empty() const { return members_.empty() && items_.empty(); }
    // Indented text: objects one member a line; arrays of scalars filled into lines of about
    // 100 columns.
    std::string text() const;

    // A JSON string literal with its quotes and escapes: the quote, the backslash and every
    // control character escaped (U+2028 and U+2029 too, which end a line in JavaScript), the rest
    // as UTF-8.
    static std::string quoted(std::string_view text);

private:
    enum class Kind { Scalar, Object, Array };
    explicit JsonValue(Kind kind) : kind_(kind) {}
    void write(std::string& out, size_t indent) const;

    Kind kind_ = Kind::Scalar;
    std::string scalar_;
    std::vector<std::pair<std::string, JsonValue>> members_;
    std::vector<JsonValue> items_;
};

}  // namespace kv
