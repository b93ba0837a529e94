#include "platform/foundation/Regex.h"

#include <gtest/gtest.h>

#include <string>

using platform::foundation::Regex;

namespace {

const char* const emailPattern = "\\b[A-Z0-9._%+-]+@[A-Z0-9.-]+\\.[A-Z]{2,30}\\b";

}

TEST(Regex, EmailAddressRuleCountsOneAnchoredMatch)
{
    Regex email(emailPattern, Regex::Option::CaseInsensitive);
    ASSERT_TRUE(email.isValid());
    struct Case {
        std::string text;
        bool valid;
    };
    const Case cases[] = {
        { "", false },
        { "jo@example.com", true },
        { "JO@EXAMPLE.COM", true },
        { "Jo.Bloggs+invoices@Mail.Example.co.uk", true },
        { " jo@example.com", false },
        { "jo@example.c", false },
        { "jo@example.co", true },
        { "jo@example." + std::string(30, 'a'), true },
        { "jo@example." + std::string(31, 'a'), false },
        { "jo@example.c0m", false },
        { "jo@example.com and some more words", true },
        { "jo at example.com", false },
        // A second address right after the first does not begin where the first ended.
        { "jo@example.com ann@example.com", true },
        { "jö@example.com", false },
    };
    for (const auto& c : cases)
        EXPECT_EQ(email.numberOfAnchoredMatches(c.text) == 1, c.valid) << c.text;
}

TEST(Regex, AnchoredMatchesRunOnWhileEachBeginsWhereTheLastEnded)
{
    Regex digits("\\d\\d");
    EXPECT_EQ(digits.numberOfAnchoredMatches("123456"), 3u);
    EXPECT_EQ(digits.numberOfAnchoredMatches("1234x56"), 2u);
    EXPECT_EQ(digits.numberOfAnchoredMatches("x123456"), 0u);
    EXPECT_EQ(digits.numberOfMatches("x1234x56"), 3u);
    // \b sees the character before the point where a later match must begin.
    Regex word("\\b[a-z]+");
    EXPECT_EQ(word.numberOfAnchoredMatches("abc"), 1u);
    // An empty match ends the run instead of looping.
    EXPECT_EQ(Regex("a*").numberOfAnchoredMatches("bbb"), 1u);
}

TEST(Regex, WholeMatchDiffersFromSearch)
{
    Regex code("[A-Z]{3}-\\d+");
    EXPECT_TRUE(code.matchesEntirely("INV-007"));
    EXPECT_FALSE(code.matchesEntirely("ref INV-007"));
    EXPECT_TRUE(code.containsMatch("ref INV-007 sent"));
    EXPECT_FALSE(code.containsMatch("inv-007"));
    EXPECT_TRUE(Regex("[A-Z]{3}-\\d+", Regex::Option::CaseInsensitive).containsMatch("inv-007"));
}

TEST(Regex, WordBoundariesAndCountsOverUnicodeText)
{
    Regex word("\\bcat\\b");
    EXPECT_EQ(word.numberOfMatches("cat concat cat. cats catalogue cat"), 3u);
    // Text after an emoji (two UTF-16 units) is still found.
    EXPECT_EQ(Regex("é+").numberOfMatches("😀ééé 😀é"), 2u);
}

TEST(Regex, AMalformedPatternMatchesNothing)
{
    Regex broken("[A-Z");
    EXPECT_FALSE(broken.isValid());
    EXPECT_FALSE(broken.matchesEntirely("A"));
    EXPECT_FALSE(broken.containsMatch("A"));
    EXPECT_EQ(broken.numberOfMatches("A"), 0u);
    EXPECT_EQ(broken.numberOfAnchoredMatches("A"), 0u);
}
