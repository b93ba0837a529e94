#include "platform/foundation/Value.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace platform::foundation;

namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

}

TEST(Value, KeepsBooleansIntegersAndRealsApart)
{
    Value integer = 1;
    Value real = 1.0;
    Value boolean = true;
    EXPECT_EQ(integer.type(), Value::Type::Integer);
    EXPECT_EQ(real.type(), Value::Type::Real);
    EXPECT_EQ(boolean.type(), Value::Type::Bool);
    EXPECT_FALSE(integer == real);
    EXPECT_FALSE(integer == boolean);
    EXPECT_FALSE(real == boolean);

    EXPECT_FALSE(real.integer());
    EXPECT_FALSE(integer.boolean());
    EXPECT_EQ(integer.number(), 1.0);
    EXPECT_FALSE(boolean.number());
    EXPECT_EQ(Value(std::uint16_t { 7 }).integer(), 7);
    EXPECT_EQ(Value('A').type(), Value::Type::Integer);
}

TEST(Value, NullContainersAreNull)
{
    EXPECT_TRUE(Value(ArrayRef {}).isNull());
    EXPECT_TRUE(Value(DictionaryRef {}).isNull());
    EXPECT_TRUE(Value(nullptr).isNull());
    EXPECT_EQ(Value(), Value(nullptr));
    EXPECT_FALSE(Value().array());
    EXPECT_FALSE(Value("text").dictionary());
}

struct LenientCase {
    const char* name;
    Value value;
    std::int64_t integer;
    double real;
    bool boolean;
    std::string text;
};

TEST(Value, LenientReadersConvertLikeThePlatformNumberAndStringObjects)
{
    const double huge = std::numeric_limits<double>::infinity();
    const LenientCase cases[] = {
        { "leading zeros", "007", 7, 7.0, true, "007" },
        { "space and sign", " -3", -3, -3.0, true, " -3" },
        { "plus sign", "+5", 5, 5.0, true, "+5" },
        { "letters", "abc", 0, 0.0, false, "abc" },
        { "digits then letters", "12abc", 12, 12.0, true, "12abc" },
        { "decimal text", "3.9", 3, 3.9, true, "3.9" },
        { "exponent text", "1e3", 1, 1000.0, true, "1e3" },
        { "dangling exponent", "2e", 2, 2.0, true, "2e" },
        { "leading point", ".5", 0, 0.5, false, ".5" },
        { "empty text", "", 0, 0.0, false, "" },
        { "zero text", "000", 0, 0.0, false, "000" },
        { "yes", "yes", 0, 0.0, true, "yes" },
        { "true text", "True", 0, 0.0, true, "True" },
        { "no", "no", 0, 0.0, false, "no" },
        { "integer overflow text", "99999999999999999999", kMax, 1e20, true, "99999999999999999999" },
        { "integer underflow text", "-99999999999999999999", kMin, -1e20, true, "-99999999999999999999" },
        { "real overflow text", "1e400", 1, huge, true, "1e400" },
        { "real underflow text", "-1e-400", -1, -0.0, true, "-1e-400" },
        { "integer", 42, 42, 42.0, true, "42" },
        { "zero", 0, 0, 0.0, false, "0" },
        { "real truncates", 3.7, 3, 3.7, true, "3.7" },
        { "negative real truncates", -3.7, -3, -3.7, true, "-3.7" },
        { "whole real", 1.0, 1, 1.0, true, "1" },
        { "fraction below one", 0.25, 0, 0.25, true, "0.25" },
        { "huge real clamps", 1e300, kMax, 1e300, true, "1e+300" },
        { "true", true, 1, 1.0, true, "1" },
        { "false", false, 0, 0.0, false, "0" },
        { "null", nullptr, 0, 0.0, false, "" },
        { "date", Date { 12.0 }, 0, 0.0, false, "" },
        { "array", Array::make({ 1 }), 0, 0.0, false, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.value.integerValue(), c.integer);
        EXPECT_EQ(c.value.doubleValue(), c.real);
        EXPECT_EQ(c.value.boolValue(), c.boolean);
        EXPECT_EQ(c.value.stringValue(), c.text);
    }
    EXPECT_EQ(Value(std::nan("")).integerValue(), 0);
}

TEST(Value, ComparesContainersByContents)
{
    auto left = Dictionary::make({ { "items", Array::make({ 1, "two", 3.0 }) } });
    auto right = Dictionary::make({ { "items", Array::make({ 1, "two", 3.0 }) } });
    EXPECT_EQ(Value(left), Value(right));

    right->get("items").array()->replace(2, 3);
    EXPECT_FALSE(Value(left) == Value(right));
    EXPECT_FALSE(Value(Array::make()) == Value(Dictionary::make()));
    EXPECT_EQ(Value(Bytes { 1, 2 }), Value(Bytes { 1, 2 }));
    EXPECT_EQ(Value(Date { 5 }), Value(Date { 5 }));
    EXPECT_FALSE(Value(Date { 5 }) == Value(5.0));
}

TEST(Value, CopiesShareContainersButDeepCopiesDoNot)
{
    Value original = Dictionary::make({ { "name", "Acme" } });
    Value shared = original;
    Value deep = original.deepCopy();

    original.dictionary()->set("name", "Other");
    EXPECT_EQ(*shared.dictionary()->get("name").string(), "Other");
    EXPECT_EQ(*deep.dictionary()->get("name").string(), "Acme");
    EXPECT_EQ(Value("plain").deepCopy(), Value("plain"));
}
