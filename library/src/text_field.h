// The caller's fixed-size text fields of the W and A forms: one helper for both character types.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "kelvalib.h"
#include "kv/text.h"

namespace kv::lib {

// Writes the text and its terminator into a field of `capacity` characters: UTF-16 for KV_WCHAR,
// the ANSI code page for char. False, and nothing written, when it does not fit.
template <typename Char>
bool putText(Char* field, size_t capacity, std::u16string_view text) {
    if (!field || text.size() + 1 > capacity) return false;
    if constexpr (sizeof(Char) == 1) {
        const std::string narrow = utf16ToAnsi(text);
        std::copy(narrow.begin(), narrow.end(), field);
        field[narrow.size()] = Char(0);
    } else {
        std::transform(text.begin(), text.end(), field, [](char16_t c) { return static_cast<Char>(c); });
        field[text.size()] = Char(0);
    }
    return true;
}

template <typename Char, size_t N>
bool putText(Char (&field)[N], std::u16string_view text) {
    return putText(field, N, text);
}

template <typename Char, size_t N>
void clearText(Char (&field)[N]) {
    std::fill(field, field + N, Char(0));
}

// A caller's NUL-terminated text as UTF-16; empty for a null pointer.
inline std::u16string fromCaller(const KV_WCHAR* text) {
    std::u16string out;
    for (; text && *text; ++text) out.push_back(static_cast<char16_t>(*text));
    return out;
}
inline std::u16string fromCaller(const char* text) { return text ? ansiToUtf16(text) : std::u16string(); }

}  // namespace kv::lib
