// machine.json as the capture writes it: a small ordered JSON tree and its text. Objects keep
// the order their members were set in, so the file reads like a hand-written machine.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv::capture {

class JsonValue {
public:
    JsonValue() : scalar_("null") {}
    JsonValue(bool value) : scalar_(value ? "true" : "false") {}
    JsonValue(int64_t value) : scalar_(std::to_string(value)) {}
    JsonValue(uint64_t value) : scalar_(std::to_string(value)) {}
    JsonValue(int value) : JsonValue(static_cast<int64_t>(value)) {}
    JsonValue(uint32_t value) : JsonValue(static_cast<uint64_t>(value)) {}
    JsonValue(std::string_view text) : scalar_(quoted(text)) {}
    JsonValue(const char* text) : JsonValue(std::string_view(text)) {}
    JsonValue(const std::string& text) : JsonValue(std::string_view(text)) {}

    static JsonValue object();
    static JsonValue array();

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

    // A JSON string literal with its quotes and escapes.
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

// Bytes as lines of blank-separated hex pairs ("00 1d 7a ..."), `perLine` bytes a line.
JsonValue hexByteLines(std::span<const uint8_t> bytes, size_t perLine = 32);
// 16-bit words as one line of blank-separated four-digit hex ("1140 7949 ...").
std::string hexWordLine(std::span<const uint16_t> words);

// "0x1D7A"-style hex text of a number, `digits` digits at least.
std::string hexNumber(uint64_t value, int digits);

}  // namespace kv::capture
