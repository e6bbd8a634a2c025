// The JSON text the programs write: every string escaped so that the document stays well-formed,
// whatever bytes a description or a name holds.
#include "kv/json_value.h"

#include <gtest/gtest.h>

#include <limits>

namespace kv {
namespace {

TEST(JsonValue, QuotesEveryTextIntoAWellFormedString) {
    const struct {
        std::string text;
        std::string literal;
    } cases[] = {
        {"plain", "\"plain\""},
        {"a \"quoted\" word", R"("a \"quoted\" word")"},
        {"C:\\WINDOWS", R"("C:\\WINDOWS")"},
        {std::string("tab\there\nnul\0end", 16), R"("tab\u0009here\u000anul\u0000end")"},
        {"\x7F stays", "\"\x7F stays\""},
        {"\xC3\xA9t\xC3\xA9", "\"\xC3\xA9t\xC3\xA9\""},           // UTF-8 kept as it is
        {"caf\xE9", "\"caf\xEF\xBF\xBD\""},                       // an 8-bit byte that is no UTF-8: U+FFFD
        {"\xE2\x80\xA8 ends a line", R"("\u2028 ends a line")"},  // a line end to JavaScript
        {"\xF0\x9F\x98\x80", "\"\xF0\x9F\x98\x80\""},             // beyond the first plane
    };
    for (const auto& c : cases) EXPECT_EQ(JsonValue::quoted(c.text), c.literal) << c.text;
}

TEST(JsonValue, WritesNumbersAsNumbers) {
    EXPECT_EQ(JsonValue::number(0.5).text(), "0.5\n");
    EXPECT_EQ(JsonValue::number(95000000.0).text(), "95000000\n");
    EXPECT_EQ(JsonValue::number(std::numeric_limits<double>::infinity()).text(), "null\n");
    EXPECT_EQ(JsonValue(uint64_t{18446744073709551615u}).text(), "18446744073709551615\n");
}

}  // namespace
}  // namespace kv
