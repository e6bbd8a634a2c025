// JSON values, a parser tuned for hand-written machine descriptions, and a pretty printer.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace kv::sim {

// A document that could not be parsed. what() reads "line L, column C: <problem>"; lines and columns
// start at 1 and columns count characters, not bytes.
class JsonError : public std::runtime_error {
public:
    JsonError(size_t line, size_t column, const std::string& problem);

    size_t line() const { return line_; }
    size_t column() const { return column_; }

private:
    size_t line_;
    size_t column_;
};

namespace detail {
struct JsonAccess;
}

class Json {
public:
    enum class Type { Null, Bool, Number, String, Array, Object };
    using Member = std::pair<std::string, Json>;

    Json() = default;
    Json(bool value) : value_(value) {}
    Json(int64_t value) : value_(value) {}
    // Values that fit in int64 are stored as int64, so equal numbers compare equal.
    Json(uint64_t value);
    // Any other integer type (int, unsigned, long long, ...) goes through int64 or uint64 by signedness.
    template <std::integral T>
    requires(!std::same_as<T, bool>) Json(T value)
        : Json(static_cast<std::conditional_t<std::is_signed_v<T>, int64_t, uint64_t>>(value)) {}
    Json(double value) : value_(value) {}
    Json(std::string value) : value_(std::move(value)) {}
    Json(std::string_view value) : value_(std::string(value)) {}
    Json(const char* value) : value_(std::string(value)) {}

    static Json array();
    static Json object();

    // Appends to an array; a null value becomes an empty array first. Ignored on any other type.
    void push_back(Json value);
    // Sets an object member, replacing an existing one in place; a null value becomes an empty object
    // first. Ignored on any other type.
    void set(std::string_view key, Json value);

    Type type() const;
    bool isNull() const { return std::holds_alternative<std::monostate>(value_); }
    bool isBool() const { return std::holds_alternative<bool>(value_); }
    bool isNumber() const { return isInteger() || std::holds_alternative<double>(value_); }
    // True for numbers written without fraction or exponent that fit in int64 or uint64.
    bool isInteger() const {
        return std::holds_alternative<int64_t>(value_) || std::holds_alternative<uint64_t>(value_);
    }
    bool isString() const { return std::holds_alternative<std::string>(value_); }
    bool isArray() const { return std::holds_alternative<Array>(value_); }
    bool isObject() const { return std::holds_alternative<Object>(value_); }

    // Member or element lookup; a shared null value when absent or when this is not an object/array.
    const Json& operator[](std::string_view key) const;
    const Json& operator[](size_t index) const;
    // Only for int literals, which would otherwise be ambiguous between the two overloads above.
    const Json& operator[](int index) const { return (*this)[static_cast<size_t>(index < 0 ? -1 : index)]; }
    const Json& operator[](const char* key) const { return (*this)[std::string_view(key)]; }

    bool contains(std::string_view key) const;
    // Number of elements or members; 0 for scalars.
    size_t size() const;
    // Members in document order; empty when this is not an object.
    const std::vector<Member>& items() const;
    // Elements; empty when this is not an array.
    const std::vector<Json>& elements() const;

    // Typed getters return the default when the value has another type or does not fit.
    // Numeric getters accept a double only when it holds an exact integer in range.
    bool asBool(bool def = false) const;
    int64_t asInt(int64_t def = 0) const;
    uint64_t asUInt(uint64_t def = 0) const;
    double asDouble(double def = 0) const;
    std::string asString(std::string def = {}) const;
    // A non-negative integer, or a string holding one in decimal or as 0x/0X hex ("0x1D7A"), the way
    // engineers write PCI ids and register values. The default for anything else, including overflow.
    uint64_t asUIntOrHex(uint64_t def = 0) const;

    // Structural equality; object member order matters, integers and doubles never compare equal.
    bool operator==(const Json& other) const = default;

private:
    friend struct detail::JsonAccess;
    using Array = std::vector<Json>;
    using Object = std::vector<Member>;

    std::variant<std::monostate, bool, int64_t, uint64_t, double, std::string, Array, Object> value_;
};

// Parses RFC 8259 JSON, also accepting // line comments, a trailing comma before } or ], and a leading
// UTF-8 byte order mark. Duplicate member names are rejected. Containers nest at most 200 deep.
// Throws JsonError.
Json parseJson(std::string_view text);

// Pretty prints with `indent` spaces per level (0 gives a compact single line), members in stored
// order, without a trailing newline. Doubles are written so they read back identically and always
// as doubles ("1.0"); NaN and infinities, which JSON cannot express, are written as null.
std::string writeJson(const Json& value, int indent = 2);

}  // namespace kv::sim
