#include "kv/sim/json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace kv::sim {
namespace {

TEST(Json, WritesKnownDocumentExactly) {
    Json doc = Json::object();
    doc.set("name", "lab-pc");
    doc.set("adapters", Json::array());
    Json nic = Json::object();
    nic.set("vendor", "0x1D7A");
    nic.set("ports", 2);
    nic.set("mtu", 1500.0);
    nic.set("enabled", true);
    nic.set("bus", Json());
    Json list = Json::array();
    list.push_back(std::move(nic));
    doc.set("adapters", std::move(list));  // replaces in place, keeping the member's position
    doc.set("empty", Json::object());

    EXPECT_EQ(writeJson(doc),
              "{\n"
              "  \"name\": \"lab-pc\",\n"
              "  \"adapters\": [\n"
              "    {\n"
              "      \"vendor\": \"0x1D7A\",\n"
              "      \"ports\": 2,\n"
              "      \"mtu\": 1500.0,\n"
              "      \"enabled\": true,\n"
              "      \"bus\": null\n"
              "    }\n"
              "  ],\n"
              "  \"empty\": {}\n"
              "}");
    EXPECT_EQ(writeJson(doc, 0),
              R"({"name":"lab-pc","adapters":[{"vendor":"0x1D7A","ports":2,"mtu":1500.0,"enabled":true,)"
              R"("bus":null}],"empty":{}})");
}

TEST(Json, RoundTripKeepsValuesTypesAndOrder) {
    const std::string text = R"({
        "z": [1, -2, 0.5, 1e300, 5e-324, -0.0, 3.0, "s", true, false, null, [], {}],
        "a": {"nested": {"deeper": [[["x"]]]}},
        "max": 18446744073709551615, "min": -9223372036854775808,
        "text": "tab\t nl\n quote\" back\\ ctl\u0001 \u00e9 \ud83d\ude00"
    })";
    const Json first = parseJson(text);
    const Json second = parseJson(writeJson(first));
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, parseJson(writeJson(first, 0)));
    ASSERT_EQ(second.items().size(), 5u);
    EXPECT_EQ(second.items()[0].first, "z");
    EXPECT_EQ(second.items()[1].first, "a");
    EXPECT_TRUE(second["z"][6].isNumber());
    EXPECT_FALSE(second["z"][6].isInteger());  // 3.0 stays a double
    EXPECT_TRUE(std::signbit(second["z"][5].asDouble()));
    EXPECT_EQ(second["z"][4].asDouble(), 5e-324);
}

TEST(Json, StringEscapesDecodeToUtf8) {
    struct Case {
        const char* json;
        std::string expected;
    };
    const Case cases[] = {
        {R"("\"\\\/")", "\"\\/"},
        {R"("\b\f\n\r\t")", "\b\f\n\r\t"},
        {R"("\u0041\u00e9\u20AC")", "A\xC3\xA9\xE2\x82\xAC"},
        {R"("\u0000")", std::string(1, '\0')},
        {R"("\ud83d\ude00")", "\xF0\x9F\x98\x80"},
        {R"("\uDBFF\uDFFF")", "\xF4\x8F\xBF\xBF"},
        {"\"caf\xC3\xA9\"", "caf\xC3\xA9"},  // raw UTF-8 passes through
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parseJson(c.json).asString(), c.expected) << c.json;
    }
}

TEST(Json, WriterEscapesControlCharactersAndBadUtf8) {
    EXPECT_EQ(writeJson(Json(std::string("a\x01\x1f\x7f\"\\\n", 7))), R"("a\u0001\u001f)"
                                                                      "\x7f"
                                                                      R"(\"\\\n")");
    EXPECT_EQ(writeJson(Json(std::string("\xFF"))), "\"\xEF\xBF\xBD\"");
}

TEST(Json, MalformedInputReportsLineAndColumn) {
    struct Case {
        const char* text;
        size_t line;
        size_t column;
        const char* problem;
    };
    const Case cases[] = {
        {"", 1, 1, "empty"},
        {"{\"a\": 1,\n \"b\" 2}", 2, 6, "expected ':'"},
        {"{\"a\": 1\n \"b\": 2}", 2, 2, "expected ',' or '}' after the value of \"a\""},
        {"[1, 2", 1, 6, "unterminated array opened at line 1, column 1"},
        {"{\"a\": }", 1, 7, "expected a value"},
        {"{\"s\": \"abc\n\"}", 1, 11, "line break inside a string"},
        {"\"abc", 1, 1, "unterminated string"},
        {"{\"p\": \"C:\\Windows\"}", 1, 10, "invalid escape '\\W'"},
        {"{\"id\": 0x1D7A}", 1, 8, "hex numbers are not allowed"},
        {"[01]", 1, 2, "leading zeros"},
        {"[1.]", 1, 4, "digit after the decimal point"},
        {"[1e+]", 1, 5, "digit in the exponent"},
        {"[True]", 1, 2, "unknown word 'True'"},
        {"{'a': 1}", 1, 2, "member name in double quotes"},
        {"['a']", 1, 2, "double quotes"},
        {"[,]", 1, 2, "expected a value before ','"},
        {"[1,,]", 1, 4, "expected a value before ','"},
        {"{,}", 1, 2, "member name"},
        {"{\"a\": 1, \"b\": 2, \"a\": 3}", 1, 18, "duplicate member name \"a\""},
        {"[\"\\ud83d\"]", 1, 3, "high surrogate"},
        {"[\"\\ude00\"]", 1, 3, "lone low surrogate"},
        {"[\"\\u12\"]", 1, 3, "four hex digits"},
        {"[\"\xC3\xA9\xFF\"]", 1, 4, "invalid UTF-8"},  // column counts é as one character
        {"[\"\xC0\xAF\"]", 1, 3, "invalid UTF-8"},      // overlong form
        {"{} {}", 1, 4, "after the end of the document"},
        {"/* c */ 1", 1, 1, "only // line comments"},
        {"[1e999]", 1, 2, "too large"},
        {"\"a\tb\"", 1, 3, "write it as \\u00XX"},
    };
    for (const auto& c : cases) {
        try {
            parseJson(c.text);
            ADD_FAILURE() << "no error for: " << c.text;
        } catch (const JsonError& e) {
            EXPECT_EQ(e.line(), c.line) << c.text << " -> " << e.what();
            EXPECT_EQ(e.column(), c.column) << c.text << " -> " << e.what();
            EXPECT_NE(std::string(e.what()).find(c.problem), std::string::npos) << c.text << " -> " << e.what();
            const std::string prefix = "line " + std::to_string(c.line) + ", column " + std::to_string(c.column) + ": ";
            EXPECT_EQ(std::string(e.what()).rfind(prefix, 0), 0u) << e.what();
        }
    }
}

TEST(Json, AcceptsCommentsTrailingCommasAndBom) {
    const Json j = parseJson(
        "\xEF\xBB\xBF// machine description\n"
        "{\n"
        "  \"a\": [1, 2,], // two ports\n"
        "  \"url\": \"http://x//y\",\n"
        "  \"b\": {\"c\": 1,},\n"
        "}  // end");
    EXPECT_EQ(j["a"].size(), 2u);
    EXPECT_EQ(j["url"].asString(), "http://x//y");  // // inside a string is not a comment
    EXPECT_EQ(j["b"]["c"].asInt(), 1);
    EXPECT_EQ(parseJson("1 // trailing comment without newline").asInt(), 1);
}

TEST(Json, NestingLimitIsAnErrorNotACrash) {
    const auto nested = [](int depth) { return std::string(depth, '[') + std::string(depth, ']'); };
    EXPECT_NO_THROW(parseJson(nested(200)));
    try {
        parseJson(nested(201));
        ADD_FAILURE() << "201 levels accepted";
    } catch (const JsonError& e) {
        EXPECT_EQ(e.column(), 201u);
        EXPECT_NE(std::string(e.what()).find("200 levels"), std::string::npos);
    }
    const auto nestedObjects = [](int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i) text += "{\"k\":";
        return text + "1" + std::string(depth, '}');
    };
    EXPECT_NO_THROW(parseJson(nestedObjects(200)));
    EXPECT_THROW(parseJson(nestedObjects(201)), JsonError);
    EXPECT_THROW(parseJson(std::string(100000, '[')), JsonError);
    EXPECT_THROW(parseJson(std::string(100000, '{')), JsonError);
}

TEST(Json, IntegersKeepFullPrecision) {
    const Json j = parseJson(
        "[18446744073709551615, 9223372036854775807, -9223372036854775808, "
        "18446744073709551616, -9223372036854775809, 9007199254740993]");
    EXPECT_EQ(j[0].asUInt(), std::numeric_limits<uint64_t>::max());
    EXPECT_EQ(j[0].asInt(-7), -7);  // does not fit int64
    EXPECT_TRUE(j[0].isInteger());
    EXPECT_EQ(j[1].asInt(), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(j[2].asInt(), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(j[2].asUInt(5), 5u);   // negative
    EXPECT_FALSE(j[3].isInteger());  // beyond 64 bits becomes a double
    EXPECT_FALSE(j[4].isInteger());
    EXPECT_EQ(j[5].asInt(), 9007199254740993);  // not representable as a double
    EXPECT_EQ(writeJson(j, 0),
              "[18446744073709551615,9223372036854775807,-9223372036854775808,18446744073709551616.0,"
              "-9223372036854775808.0,9007199254740993]");
    EXPECT_FALSE(parseJson(writeJson(j[3])).isInteger());
    EXPECT_EQ(Json(uint64_t{42}), Json(int64_t{42}));
    EXPECT_EQ(Json(7u), Json(7));
}

TEST(Json, TypedGettersFallBackToDefaults) {
    const Json j = parseJson(R"({"d": 2.5, "whole": 4.0, "neg": -1, "s": "x", "n": null})");
    EXPECT_EQ(j["d"].asInt(9), 9);  // a fraction is not silently truncated
    EXPECT_EQ(j["whole"].asUInt(), 4u);
    EXPECT_EQ(j["neg"].asUInt(8), 8u);
    EXPECT_EQ(j["s"].asInt(6), 6);
    EXPECT_EQ(j["d"].asString("def"), "def");
    EXPECT_TRUE(j["missing"]["deeper"][3].isNull());
    EXPECT_TRUE(j.contains("n"));
    EXPECT_FALSE(j["s"].contains("s"));
}

TEST(Json, UIntOrHexAcceptsNumbersAndHexOrDecimalStrings) {
    struct Case {
        Json value;
        uint64_t expected;
    };
    const uint64_t def = 0xDEAD;
    const Case cases[] = {
        {Json(0x1D7A), 0x1D7A},
        {Json("0x1D7A"), 0x1D7A},
        {Json("0X1d7a"), 0x1D7A},
        {Json("7546"), 7546},
        {Json("0"), 0},
        {Json("0xFFFFFFFFFFFFFFFF"), std::numeric_limits<uint64_t>::max()},
        {Json("0x10000000000000000"), def},  // overflow
        {Json("18446744073709551616"), def},
        {Json("0x"), def},
        {Json("1D7A"), def},  // hex needs the prefix
        {Json("0x1G"), def},
        {Json(" 12"), def},
        {Json("12 "), def},
        {Json("-1"), def},
        {Json("+1"), def},
        {Json(""), def},
        {Json(-1), def},
        {Json(2.0), 2},
        {Json(2.5), def},
        {Json(true), def},
        {Json(), def},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value.asUIntOrHex(def), c.expected) << writeJson(c.value);
    }
}

TEST(Json, DoublesRoundTripExactly) {
    for (double d : {0.1, 1.0 / 3.0, 1e21, 1e-7, 123456789.125, -2.5e-300, 1.7976931348623157e308}) {
        const Json back = parseJson(writeJson(Json(d)));
        EXPECT_FALSE(back.isInteger()) << d;
        EXPECT_EQ(back.asDouble(), d);
    }
    EXPECT_EQ(writeJson(Json(std::numeric_limits<double>::quiet_NaN())), "null");
    EXPECT_EQ(writeJson(Json(-std::numeric_limits<double>::infinity())), "null");
    EXPECT_EQ(parseJson("1e-400").asDouble(), 0.0);  // underflow is zero, not an error
}

}  // namespace
}  // namespace kv::sim
