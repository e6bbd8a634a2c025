#include "kv/text.h"

#include <gtest/gtest.h>

#include <string>

namespace kv {
namespace {

TEST(Utf8ToUtf16, MalformedSequencesBecomeReplacementCharacters) {
    struct Case {
        const char* what;
        std::string bytes;
        std::u16string expected;
    };
    const Case cases[] = {
        {"well-formed, one to four bytes", "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", u"a\u00E9\u20AC\U0001F600"},
        {"lone continuation byte", "a\x80z", u"a\uFFFDz"},
        {"bad continuation byte is read afresh", "\xC3z", u"\uFFFDz"},
        {"three-byte form cut by an ASCII byte", "\xE2\x82z", u"\uFFFDz"},
        {"truncated at the end", "a\xE2\x82", u"a\uFFFD"},
        {"overlong two-byte form", "\xC0\xAF", u"\uFFFD\uFFFD"},
        {"overlong three-byte form", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"overlong four-byte form", "\xF0\x80\x80\xAF", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"bytes that never start a sequence", "\xF5\xFF", u"\uFFFD\uFFFD"},
        {"highest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    };
    for (const Case& c : cases) EXPECT_EQ(utf8ToUtf16(c.bytes), c.expected) << c.what;
}

TEST(Utf16ToUtf8, LoneSurrogatesBecomeReplacementCharacters) {
    EXPECT_EQ(utf16ToUtf8(u"a\xD800z"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
    EXPECT_EQ(utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(Ansi, EveryByteSurvivesTheRoundTripThroughUtf16) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(utf16ToAnsi(ansiToUtf16(all)), all);
    EXPECT_EQ(ansiToUtf16("\x80\x81"), u"\u20AC\u0081");
    // A C1 control the code page puts a printable character on has no byte of its own.
    EXPECT_EQ(utf16ToAnsi(u"\u0080\u0100"), "??");
}

}  // namespace
}  // namespace kv
