#include "json_text.h"

#include <cstdio>

namespace kv::capture {

JsonValue JsonValue::object() { return JsonValue(Kind::Object); }
JsonValue JsonValue::array() { return JsonValue(Kind::Array); }

JsonValue& JsonValue::set(std::string_view key, JsonValue value) {
    for (auto& [name, existing] : members_) {
        if (name == key) {
            existing = std::move(value);
            return *this;
        }
    }
    members_.emplace_back(std::string(key), std::move(value));
    return *this;
}

JsonValue& JsonValue::member(std::string_view key) {
    for (auto& [name, existing] : members_)
        if (name == key) return existing;
    members_.emplace_back(std::string(key), object());
    return members_.back().second;
}

JsonValue& JsonValue::push(JsonValue value) {
    items_.push_back(std::move(value));
    return *this;
}

// Quotes and backslashes escaped, every other control character as \u00XX; the text is UTF-8
// made from the system's UTF-16 strings.
std::string JsonValue::quoted(std::string_view text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string JsonValue::text() const {
    std::string out;
    write(out, 0);
    return out + "\n";
}

void JsonValue::write(std::string& out, size_t indent) const {
    constexpr size_t kColumns = 100;
    const std::string inner(indent + 2, ' ');
    const std::string closing(indent, ' ');
    switch (kind_) {
        case Kind::Scalar:
            out += scalar_;
            return;
        case Kind::Object:
            if (members_.empty()) {
                out += "{}";
                return;
            }
            out += "{\n";
            for (size_t i = 0; i < members_.size(); ++i) {
                out += inner + quoted(members_[i].first) + ": ";
                members_[i].second.write(out, indent + 2);
                out += i + 1 < members_.size() ? ",\n" : "\n";
            }
            out += closing + "}";
            return;
        case Kind::Array: {
            if (items_.empty()) {
                out += "[]";
                return;
            }
            bool scalars = true;
            size_t width = indent;
            for (const auto& item : items_) {
                scalars = scalars && item.kind_ == Kind::Scalar;
                width += item.scalar_.size() + 2;
            }
            if (scalars && width <= kColumns) {
                out += "[";
                for (size_t i = 0; i < items_.size(); ++i) out += (i ? ", " : "") + items_[i].scalar_;
                out += "]";
                return;
            }
            out += "[\n" + inner;
            size_t column = inner.size();
            for (size_t i = 0; i < items_.size(); ++i) {
                if (i > 0) {
                    const bool wrap = !scalars || column + items_[i].scalar_.size() + 2 > kColumns;
                    out += wrap ? ",\n" + inner : ", ";
                    column = wrap ? inner.size() : column + 2;
                }
                items_[i].write(out, indent + 2);
                column += items_[i].scalar_.size();
            }
            out += "\n" + closing + "]";
            return;
        }
    }
}

JsonValue hexByteLines(std::span<const uint8_t> bytes, size_t perLine) {
    JsonValue lines = JsonValue::array();
    std::string line;
    for (size_t i = 0; i < bytes.size(); ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02x", bytes[i]);
        line += (line.empty() ? "" : " ") + std::string(pair);
        if ((i + 1) % perLine == 0 || i + 1 == bytes.size()) {
            lines.push(line);
            line.clear();
        }
    }
    return lines;
}

std::string hexWordLine(std::span<const uint16_t> words) {
    std::string line;
    for (uint16_t word : words) {
        char text[8];
        std::snprintf(text, sizeof text, "%04x", word);
        line += (line.empty() ? "" : " ") + std::string(text);
    }
    return line;
}

std::string hexNumber(uint64_t value, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%0*llX", digits, static_cast<unsigned long long>(value));
    return text;
}

}  // namespace kv::capture
