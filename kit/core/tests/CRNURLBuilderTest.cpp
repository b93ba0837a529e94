#include "kit/core/CRNURLBuilder.h"

#include "testing/ChildProcess.h"

#include <gtest/gtest.h>

using kit::CRNURLBuilder;
using platform::foundation::Value;

namespace {

// The query as Python's urllib.parse reads it: "name=value" per parameter, one per line.
std::string parsedByPython(const std::string& url)
{
    testing::ChildProcess python({ "/usr/bin/python3", "-c",
        "import sys, urllib.parse\n"
        "for name, value in urllib.parse.parse_qsl(urllib.parse.urlsplit(sys.argv[1]).query,\n"
        "                                          keep_blank_values=True, strict_parsing=True):\n"
        "    print(name + '=' + value)\n",
        url });
    return python.readAll(std::chrono::seconds(10));
}

}

TEST(CRNURLBuilderTest, ComponentsAndParametersInOrder)
{
    auto builder = CRNURLBuilder::URLWithBase("https://settings.example");
    builder.appendComponent("/a");
    builder.appendValue(1, "x");
    builder.appendValue(2, "y");
    EXPECT_EQ(builder.URLString(), "https://settings.example/a?x=1&y=2");
    EXPECT_EQ(builder.queryParams(), 2u);

    auto skipping = CRNURLBuilder::URLWithBase("https://settings.example");
    skipping.appendComponent("/a");
    skipping.appendValue(nullptr, "x");
    skipping.appendValue(2, "y");
    EXPECT_EQ(skipping.URLString(), "https://settings.example/a?y=2");
}

TEST(CRNURLBuilderTest, ValuesReachTheServerAsGiven)
{
    const std::pair<Value, std::string> cases[] = {
        { "1.0+b", "1.0+b" },
        { "a&b=c", "a&b=c" },
        { "what?#frag", "what?#frag" },
        { "café £5 / 50%", "café £5 / 50%" },
        { "", "" },
        { 42, "42" },
        { -3.5, "-3.5" },
        { true, "1" },
    };
    auto builder = CRNURLBuilder::URLWithBase("http://127.0.0.1:8080");
    builder.appendComponent("/spi/v2/platforms/");
    builder.escapeAndAppendComponent("ios");
    std::string expected;
    for (std::size_t index = 0; index < std::size(cases); ++index) {
        builder.appendValue(cases[index].first, "p" + std::to_string(index));
        expected += "p" + std::to_string(index) + "=" + cases[index].second + "\n";
    }
    ASSERT_TRUE(builder.URL()) << builder.URLString();
    EXPECT_EQ(parsedByPython(builder.URLString()), expected);
}

TEST(CRNURLBuilderTest, EscapedComponentsKeepOnlyUnreservedCharacters)
{
    EXPECT_EQ(CRNURLBuilder::escapeString("com.zorvik.App-1_~"), "com.zorvik.App-1_~");
    EXPECT_EQ(CRNURLBuilder::escapeString("a/b c+d&é"), "a%2Fb%20c%2Bd%26%C3%A9");
    auto builder = CRNURLBuilder::URLWithBase("http://127.0.0.1/apps/");
    builder.escapeAndAppendComponent("com/odd id");
    EXPECT_EQ(builder.URLString(), "http://127.0.0.1/apps/com%2Fodd%20id");
}

TEST(CRNURLBuilderTest, InvalidTextGivesNoUrl)
{
    for (const char* text : { "", "not a url", "http://", "http://host/a b", "http://host/%zz",
             "/relative/path", "http://host/é" })
        EXPECT_FALSE(CRNURLBuilder::URLWithBase(text).URL()) << text;
    for (const char* text : { "http://127.0.0.1:8080/x?y=%20", "https://settings.example" })
        EXPECT_EQ(CRNURLBuilder::URLWithBase(text).URL(), text);
}
