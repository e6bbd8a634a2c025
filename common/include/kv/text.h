// Text conversion between UTF-8, UTF-16 and the 8-bit ANSI code page (Windows-1252).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kv {

namespace detail {

// The shortest well-formed UTF-8 sequence starting with `lead`: its length (0 for a byte that
// cannot start one) and the range its second byte must lie in, which rules out overlong forms,
// surrogates and code points above U+10FFFF.
struct Utf8Lead {
    size_t length;
    unsigned char secondLow;
    unsigned char secondHigh;
};

inline Utf8Lead utf8Lead(unsigned char lead) {
    if (lead < 0x80) return {1, 0, 0};
    if (lead >= 0xC2 && lead <= 0xDF) return {2, 0x80, 0xBF};
    if (lead == 0xE0) return {3, 0xA0, 0xBF};
    if (lead == 0xED) return {3, 0x80, 0x9F};
    if (lead >= 0xE1 && lead <= 0xEF) return {3, 0x80, 0xBF};
    if (lead == 0xF0) return {4, 0x90, 0xBF};
    if (lead >= 0xF1 && lead <= 0xF3) return {4, 0x80, 0xBF};
    if (lead == 0xF4) return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

inline void appendUtf16(std::u16string& out, char32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

inline bool isSurrogate(char32_t c) { return c >= 0xD800 && c < 0xE000; }

}  // namespace detail

// UTF-8 to UTF-16. Malformed input (a byte that cannot start a sequence, a missing or wrong
// continuation byte, an overlong form, an encoded surrogate, a code point above U+10FFFF)
// becomes U+FFFD: one for each maximal part of a sequence that began well, as the Unicode
// standard recommends, so the bytes after it are read afresh.
inline std::u16string utf8ToUtf16(std::string_view in) {
    std::u16string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size();) {
        const auto c = static_cast<unsigned char>(in[i]);
        const detail::Utf8Lead lead = detail::utf8Lead(c);
        if (lead.length == 1) {
            out.push_back(c);
            ++i;
            continue;
        }
        char32_t cp = lead.length == 2 ? (c & 0x1Fu) : lead.length == 3 ? (c & 0x0Fu) : (c & 0x07u);
        size_t taken = 1;
        while (lead.length != 0 && taken < lead.length && i + taken < in.size()) {
            const auto next = static_cast<unsigned char>(in[i + taken]);
            const bool fits = taken == 1 ? (next >= lead.secondLow && next <= lead.secondHigh) : (next & 0xC0) == 0x80;
            if (!fits) break;
            cp = (cp << 6) | (next & 0x3Fu);
            ++taken;
        }
        i += taken;
        if (lead.length == 0 || taken < lead.length)
            out.push_back(u'\uFFFD');
        else
            detail::appendUtf16(out, cp);
    }
    return out;
}

// Appends one code point as UTF-8.
inline void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// UTF-16 to UTF-8; a surrogate without its partner, which UTF-8 cannot carry, becomes U+FFFD.
inline std::string utf16ToUtf8(std::u16string_view in) {
    std::string out;
    out.reserve(in.size());
    for (size_t i = 0; i < in.size(); ++i) {
        char32_t cp = in[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (in[i + 1] - 0xDC00);
            ++i;
        } else if (detail::isSurrogate(cp)) {
            cp = 0xFFFD;
        }
        appendUtf8(out, cp);
    }
    return out;
}

// The value of one hexadecimal digit, or -1.
inline int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

namespace detail {
// Windows-1252 bytes 0x80..0x9F; 0 marks the five unassigned positions.
inline constexpr char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                             0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                             0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                             0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}  // namespace detail

// 8-bit ANSI (Windows-1252) to UTF-16. The five bytes the code page leaves unassigned (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same number, as the system's
// conversion does, so that they come back unchanged.
inline std::u16string ansiToUtf16(std::string_view in) {
    std::u16string out;
    out.reserve(in.size());
    for (char ch : in) {
        const auto c = static_cast<unsigned char>(ch);
        if (c >= 0x80 && c < 0xA0) {
            const char16_t m = detail::kCp1252High[c - 0x80];
            out.push_back(m ? m : char16_t(c));
        } else {
            out.push_back(char16_t(c));
        }
    }
    return out;
}

// UTF-16 to 8-bit ANSI (Windows-1252); characters outside the code page become '?'. The
// control characters U+0081, U+008D, U+008F, U+0090 and U+009D map to the unassigned bytes of the
// same number, so ANSI text converted to UTF-16 and back is unchanged.
inline std::string utf16ToAnsi(std::u16string_view in) {
    std::string out;
    out.reserve(in.size());
    for (char16_t c : in) {
        const bool unassigned = c >= 0x80 && c < 0xA0 && detail::kCp1252High[c - 0x80] == 0;
        if (c < 0x80 || (c >= 0xA0 && c < 0x100) || unassigned) {
            out.push_back(static_cast<char>(c));
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i) {
            if (detail::kCp1252High[i] == c) {
                mapped = static_cast<char>(0x80 + i);
                break;
            }
        }
        out.push_back(mapped);
    }
    return out;
}

// ASCII-only case folding, the comparison Windows applies to registry and INF names here.
inline char16_t asciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

inline bool equalsIgnoreCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

}  // namespace kv
