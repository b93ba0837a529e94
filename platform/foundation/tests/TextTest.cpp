#include "platform/foundation/Text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

using platform::foundation::isValidUtf8;
using platform::foundation::replacingUtf16Range;
using platform::foundation::stringWithFormat;
using platform::foundation::uppercased;
using platform::foundation::utf16Length;
using platform::foundation::Utf16Range;
using platform::foundation::utf16Substring;
using platform::foundation::utf8CharacterLength;

// Expected lengths from Python: len(text.encode("utf-16-le")) // 2.
TEST(Text, Utf16LengthsCountEmojiAsTwoAndCombiningAccentsApart)
{
    struct Case {
        const char* text;
        std::size_t length;
    };
    const Case cases[] = {
        { "", 0 },
        { "abc", 3 },
        { "\u00e9", 1 }, // é precomposed
        { "e\u0301", 2 }, // e and a combining acute accent
        { "\U0001F600", 2 }, // 😀
        { "\U0001F44D\U0001F3FD", 4 }, // thumbs up with a skin tone
        { "\u00a3", 1 }, // £
        { "\U0001F1EC\U0001F1E7", 4 }, // the British flag
        { "Caf\u00e9 \U0001F600!", 8 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf16Length(c.text), c.length) << c.text;
}

TEST(Text, Utf8CharactersAreMeasuredByTheirLeadByteWithinTheText)
{
    struct Case {
        std::string text;
        std::size_t offset;
        std::size_t length;
    };
    const Case cases[] = {
        { "a\u00e9", 0, 1 },
        { "a\u00e9", 1, 2 }, // é
        { "\u20ac", 0, 3 }, // €
        { "\U0001F600", 0, 4 }, // 😀
        { "\x80x", 0, 1 }, // a stray continuation byte
        { "\xE2\x82", 0, 2 }, // € cut short at the end of the text
        { "ab\xF0", 2, 1 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(utf8CharacterLength(c.text, c.offset), c.length) << c.text << " at " << c.offset;
}

TEST(Text, ReplacingARangeGivesTheProposedTextOfATextField)
{
    struct Case {
        const char* text;
        Utf16Range range;
        const char* replacement;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        { "INV-", { 4, 0 }, "7", "INV-7" },
        { "INV-007", { 6, 1 }, "", "INV-00" },
        { "INV-007", { 0, 4 }, "REF/", "REF/007" },
        { "", { 0, 0 }, "a", "a" },
        { "a\U0001F600b", { 1, 2 }, "", "ab" }, // deleting the emoji whole
        { "\U0001F600b", { 2, 1 }, "c", "\U0001F600c" },
        { "Caf\u00e9", { 3, 1 }, "e", "Cafe" },
        { "abc", { 4, 0 }, "x", std::nullopt }, // past the end
        { "abc", { 2, 2 }, "x", std::nullopt },
        { "a\U0001F600b", { 2, 0 }, "x", std::nullopt }, // inside the emoji
        { "a\U0001F600b", { 1, 1 }, "", std::nullopt },
        { "abc", { SIZE_MAX, 2 }, "", std::nullopt },
    };
    for (const auto& c : cases)
        EXPECT_EQ(replacingUtf16Range(c.text, c.range, c.replacement), c.expected)
            << c.text << " [" << c.range.location << ", " << c.range.length << "]";
}

TEST(Text, SubstringsByUtf16Range)
{
    EXPECT_EQ(utf16Substring("\U0001F600 Caf\u00e9", { 3, 4 }), "Caf\u00e9");
    EXPECT_EQ(utf16Substring("abc", { 3, 0 }), "");
    EXPECT_EQ(utf16Substring("\U0001F600", { 0, 1 }), std::nullopt);
    EXPECT_EQ(utf16Substring("abc", { 1, 5 }), std::nullopt);
}

TEST(Text, UppercasingUsesFullUnicodeCaseMapping)
{
    EXPECT_EQ(uppercased("inv-007"), "INV-007");
    EXPECT_EQ(uppercased("\u00e9lan"), "\u00c9LAN");
    EXPECT_EQ(uppercased("stra\u00dfe"), "STRASSE");
    EXPECT_EQ(uppercased("istanbul"), "ISTANBUL");
    EXPECT_EQ(uppercased("istanbul", "tr"), "\u0130STANBUL");
    EXPECT_EQ(uppercased("\U0001F600 ok"), "\U0001F600 OK");
}

TEST(Text, RecognisesWellFormedUtf8)
{
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("\u00a3 \U0001F600"));
    EXPECT_TRUE(isValidUtf8(std::string("nul\0inside", 10)));
    for (const char* bad : {
             "\xc3", // truncated
             "\xc0\xaf", // overlong "/"
             "\xed\xa0\x80", // an encoded surrogate
             "\xff", "ab\x80",
             "\xf4\x90\x80\x80", // past U+10FFFF
         })
        EXPECT_FALSE(isValidUtf8(bad)) << testing::PrintToString(std::string(bad));
}

TEST(Text, FormatsLikePrintf)
{
    EXPECT_EQ(stringWithFormat("%03ld", 7L), "007");
    EXPECT_EQ(stringWithFormat("%03ld", 1000L), "1000");
    EXPECT_EQ(stringWithFormat("%ld", -12L), "-12");
    // A counter's format made from its width, then used.
    std::string format = stringWithFormat("%%0%ldld", 5L);
    EXPECT_EQ(format, "%05ld");
    EXPECT_EQ(stringWithFormat(format.c_str(), 42L), "00042");
    EXPECT_EQ(stringWithFormat("%s", ""), "");
    EXPECT_EQ(stringWithFormat("%s", std::string(5000, 'x').c_str()).size(), 5000u);
}
