// Text conversions, both directions, on any bytes: UTF-8 read as UTF-16 is well-formed UTF-16;
// well-formed text survives UTF-16 -> UTF-8 -> UTF-16 and valid UTF-8 survives UTF-8 -> UTF-16 ->
// UTF-8; every 8-bit ANSI string survives ANSI -> UTF-16 -> ANSI; UTF-16 to ANSI keeps one byte
// per unit and every character the code page has.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "kv/text.h"

using kv::fuzz::check;

namespace {

bool wellFormed(std::u16string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c >= 0xDC00 && c < 0xE000) return false;
        if (c >= 0xD800 && c < 0xDC00) {
            if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] >= 0xE000) return false;
            ++i;
        }
    }
    return true;
}

void utf8Properties(std::string_view bytes) {
    const std::u16string wide = kv::utf8ToUtf16(bytes);
    check(wellFormed(wide), "UTF-8 is read as well-formed UTF-16");
    check(wide.size() <= bytes.size(), "UTF-8 gives at most one unit per byte");
    const std::string back = kv::utf16ToUtf8(wide);
    check(kv::utf8ToUtf16(back) == wide, "well-formed UTF-16 survives a trip through UTF-8");
    // Without a replacement character the input was valid UTF-8 and must come back unchanged.
    if (wide.find(u'\uFFFD') == std::u16string::npos)
        check(back == bytes, "valid UTF-8 survives a trip through UTF-16");
}

void ansiProperties(std::string_view bytes) {
    check(kv::utf16ToAnsi(kv::ansiToUtf16(bytes)) == bytes, "ANSI text survives a trip through UTF-16");
}

void utf16Properties(std::string_view bytes) {
    std::u16string wide;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        wide.push_back(static_cast<char16_t>(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8)));
    const std::string ansi = kv::utf16ToAnsi(wide);
    check(ansi.size() == wide.size(), "one ANSI byte per UTF-16 unit");
    const std::u16string back = kv::ansiToUtf16(ansi);
    for (size_t i = 0; i < wide.size(); ++i)
        check(ansi[i] == '?' || back[i] == wide[i], "a character the code page has comes back unchanged");
    const std::u16string viaUtf8 = kv::utf8ToUtf16(kv::utf16ToUtf8(wide));
    // A surrogate without its partner becomes one U+FFFD; everything else is carried as it is.
    check(wellFormed(viaUtf8) && viaUtf8.size() == wide.size(), "UTF-8 carries UTF-16 unit for unit");
    if (wellFormed(wide)) check(viaUtf8 == wide, "well-formed UTF-16 survives a trip through UTF-8");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    utf8Properties(bytes);
    ansiProperties(bytes);
    utf16Properties(bytes);
    return 0;
}
