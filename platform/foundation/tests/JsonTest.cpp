#include "platform/foundation/Json.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace platform::foundation;

namespace {

Value parsed(std::string_view text)
{
    auto result = parseJson(text);
    EXPECT_TRUE(result.ok()) << text << ": " << result.error;
    return result.value;
}

}

TEST(Json, RoundTripKeepsIntegersRealsAndBooleansApart)
{
    auto record = parsed(R"({"integer":1,"real":1.0,"boolean":true,"zero":0.0,"negative":-2})").dictionary();
    ASSERT_TRUE(record);
    EXPECT_EQ(record->get("integer").type(), Value::Type::Integer);
    EXPECT_EQ(record->get("real").type(), Value::Type::Real);
    EXPECT_EQ(record->get("boolean").type(), Value::Type::Bool);
    EXPECT_EQ(record->get("zero").type(), Value::Type::Real);

    std::string text = toJson(record);
    EXPECT_EQ(text, R"({"boolean":true,"integer":1,"negative":-2,"real":1.0,"zero":0.0})");
    EXPECT_EQ(parsed(text), Value(record));
}

TEST(Json, WritesRealsSoTheyReadBackAsTheSameReal)
{
    const std::pair<double, const char*> cases[] = {
        { 1.0, "1.0" },
        { -0.0, "-0.0" },
        { 0.1, "0.1" },
        { 1776.5, "1776.5" },
        { 1e300, "1e+300" },
        { 5e-324, "5e-324" },
        { 123456789012345680.0, "123456789012345680.0" },
        { 1e22, "1e+22" },
    };
    for (auto [real, text] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(toJson(real), text);
        auto back = parsed(text);
        EXPECT_EQ(back.type(), Value::Type::Real);
        EXPECT_EQ(std::signbit(*back.number()), std::signbit(real));
        EXPECT_EQ(*back.number(), real);
    }
    EXPECT_EQ(toJson(std::numeric_limits<double>::infinity()), "null");
    EXPECT_EQ(toJson(std::nan("")), "null");
}

TEST(Json, IntegersKeepTheirFullRange)
{
    auto values = parsed("[9223372036854775807,-9223372036854775808,18446744073709551615]").array();
    ASSERT_EQ(values->size(), 3u);
    EXPECT_EQ(values->at(0).integer(), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(values->at(1).integer(), std::numeric_limits<std::int64_t>::min());
    // Beyond a 64-bit integer a number keeps its magnitude as a real rather than wrapping.
    EXPECT_EQ(values->at(2).number(), 18446744073709551615.0);
    EXPECT_EQ(toJson(values->at(0)), "9223372036854775807");
    EXPECT_EQ(toJson(values->at(1)), "-9223372036854775808");
}

TEST(Json, ParsesNestedContainersIntoFreshMutableRecords)
{
    const char* text
        = R"({"folders":[{"name":"todo","dates":[1,2]},[]],"to":{"address":{"city":"Leeds"}},"e":{}})";
    auto record = parsed(text).dictionary();
    ASSERT_TRUE(record);
    EXPECT_EQ(toJson(record),
        R"({"e":{},"folders":[{"dates":[1,2],"name":"todo"},[]],"to":{"address":{"city":"Leeds"}}})");

    auto folder = record->get("folders").array()->at(0).dictionary();
    folder->set("name", "done");
    record->get("to").dictionary()->get("address").dictionary()->set("city", "York");
    EXPECT_EQ(toJson(record),
        R"({"e":{},"folders":[{"dates":[1,2],"name":"done"},[]],"to":{"address":{"city":"York"}}})");

    auto again = parsed(text).dictionary();
    EXPECT_FALSE(again->equals(*record));
}

TEST(Json, NullRemovesObjectMembersButStaysInArrays)
{
    auto record = parsed(R"({"a":null,"b":[null,1],"c":1,"c":null})").dictionary();
    ASSERT_TRUE(record);
    EXPECT_FALSE(record->contains("a"));
    EXPECT_FALSE(record->contains("c"));
    EXPECT_EQ(toJson(record), R"({"b":[null,1]})");
    EXPECT_TRUE(parsed("null").isNull());
    EXPECT_EQ(parsed(" \"top level\" "), Value("top level"));
}

TEST(Json, ReadsAndWritesUnicodeAndEscapes)
{
    auto text = parsed(R"("caf\u00e9 \ud83d\ude00 \"q\" \\ \/ \b\f\n\r\t \u0001 ünï")");
    EXPECT_EQ(*text.string(), "caf\xC3\xA9 \xF0\x9F\x98\x80 \"q\" \\ / \b\f\n\r\t \x01 \xC3\xBCn\xC3\xAF");
    EXPECT_EQ(toJson(text),
        "\"caf\xC3\xA9 \xF0\x9F\x98\x80 \\\"q\\\" \\\\ / \\b\\f\\n\\r\\t \\u0001 \xC3\xBCn\xC3\xAF\"");
    EXPECT_EQ(parsed(toJson(text)), text);

    auto keyed = parsed(R"({"naïve\n":"x"})").dictionary();
    EXPECT_EQ(toJson(keyed), "{\"na\xC3\xAFve\\n\":\"x\"}");
}

TEST(Json, WritesBrokenUtf8AsReplacementCharacters)
{
    const std::pair<const char*, const char*> cases[] = {
        { "a\xFF"
          "b",
            "\"a\xEF\xBF\xBD"
            "b\"" },
        { "\xC3", "\"\xEF\xBF\xBD\"" },
        { "\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"" },
        { "\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\"" },
        { "\xF4\x90\x80\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"" },
    };
    for (auto [raw, written] : cases) {
        SCOPED_TRACE(written);
        std::string text = toJson(Value(raw));
        EXPECT_EQ(text, written);
        EXPECT_TRUE(parseJson(text).ok());
    }
}

TEST(Json, WritesDatesAsSecondsAndBytesAsBase64)
{
    EXPECT_EQ(toJson(Date { 1772359200 }), "1772359200.0");
    EXPECT_EQ(toJson(Date { 0.5 }), "0.5");
    const std::pair<Bytes, const char*> cases[] = {
        { {}, "\"\"" },
        { { 'f' }, "\"Zg==\"" },
        { { 'f', 'o' }, "\"Zm8=\"" },
        { { 'f', 'o', 'o' }, "\"Zm9v\"" },
        { { 0xFF, 0xFE, 0x00, 0x01 }, "\"//4AAQ==\"" },
    };
    for (auto& [bytes, text] : cases)
        EXPECT_EQ(toJson(bytes), text);
}

TEST(Json, MalformedInputGivesAnErrorAndNoValue)
{
    const std::pair<const char*, std::string> cases[] = {
        { "empty", "" },
        { "only spaces", " \n\t " },
        { "unclosed object", "{" },
        { "unclosed array", "[1,2" },
        { "trailing comma", "[1,]" },
        { "missing value", R"({"a":})" },
        { "missing colon", R"({"a" 1})" },
        { "unquoted key", "{a:1}" },
        { "bare word", "tru" },
        { "leading zero", "01" },
        { "two values", "1 2" },
        { "text after value", "[1]x" },
        { "unterminated string", "\"abc" },
        { "bad escape", R"("\x")" },
        { "lone surrogate", R"("\ud800")" },
        { "control character in string", "\"a\nb\"" },
        { "broken utf-8", "\"\xFF\"" },
        { "single quotes", "'a'" },
        { "comment", "[1] // no" },
        { "nan", "NaN" },
        { "real beyond double", "[1e999]" },
        { "embedded nul", std::string("[1]\0", 4) },
        { "too deep", std::string(600, '[') + std::string(600, ']') },
    };
    for (auto& [name, text] : cases) {
        SCOPED_TRACE(name);
        JsonResult result;
        EXPECT_NO_THROW(result = parseJson(text));
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.value.isNull());
        EXPECT_TRUE(result.error.starts_with("malformed JSON")) << result.error;
        EXPECT_EQ(result.error.find("json.exception"), std::string::npos) << result.error;
    }
    EXPECT_NE(parseJson("").error.find("empty"), std::string::npos);
    EXPECT_NE(parseJson("[1,]").error.find("byte 4"), std::string::npos) << parseJson("[1,]").error;

    auto deepest = std::string(512, '[') + std::string(512, ']');
    EXPECT_TRUE(parseJson(deepest).ok());
}
