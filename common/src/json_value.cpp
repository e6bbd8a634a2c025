#include "kv/json_value.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "kv/text.h"

namespace kv {

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

JsonValue JsonValue::number(double value) {
    if (!std::isfinite(value)) return JsonValue();
    // Whole numbers that a double holds exactly are written without an exponent.
    if (std::trunc(value) == value && std::fabs(value) < 1e15) return JsonValue(static_cast<int64_t>(value));
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    JsonValue number;
    number.scalar_ = ec == std::errc() ? std::string(text, end) : "null";
    return number;
}

// Read through UTF-16, which turns every malformed sequence into U+FFFD: whatever bytes a caller
// hands in (8-bit text that was never UTF-8, say), the document stays well-formed.
std::string JsonValue::quoted(std::string_view text) {
    const std::u16string units = utf8ToUtf16(text);
    std::string out = "\"";
    size_t plainFrom = 0;  // units from here on are copied as they are, at the next escape
    const auto flush = [&](size_t to) {
        out += utf16ToUtf8(std::u16string_view(units).substr(plainFrom, to - plainFrom));
    };
    for (size_t i = 0; i < units.size(); ++i) {
        const char16_t c = units[i];
        if (c >= 0x20 && c != u'"' && c != u'\\' && c != 0x2028 && c != 0x2029) continue;
        flush(i);
        plainFrom = i + 1;
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        }
    }
    flush(units.size());
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

}  // namespace kv
