#include "attribution/WayfinderScrambler.h"

#include "testing/backend/AttributionService.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace attribution::test {
namespace {

TEST(WayfinderScramblerTest, PacksThreeBytesInFourLettersWithPadding)
{
    struct Case {
        std::string text;
        std::size_t length;
        std::size_t padding;
    };
    for (const auto& [text, length, padding] : { Case { "abc", 4, 0 }, Case { "a", 4, 2 },
             Case { "ab", 4, 1 }, Case { "abcd", 8, 2 }, Case { "", 0, 0 } }) {
        auto scrambled = WayfinderScrambler::scramble(text, "Zq7v");
        EXPECT_EQ(scrambled.size(), length) << text;
        EXPECT_EQ(static_cast<std::size_t>(std::count(scrambled.begin(), scrambled.end(), '=')), padding)
            << text;
    }
}

TEST(WayfinderScramblerTest, TheKeyShufflesTheAlphabet)
{
    auto keyed = WayfinderScrambler::alphabet("Zq7v");
    auto sorted = keyed;
    std::sort(sorted.begin(), sorted.end());
    auto base = std::string(WayfinderScrambler::kBaseAlphabet);
    std::sort(base.begin(), base.end());
    EXPECT_EQ(std::string(sorted.begin(), sorted.end()), base) << "the same letters";
    EXPECT_NE(std::string(keyed.begin(), keyed.end()), WayfinderScrambler::kBaseAlphabet);
    EXPECT_EQ(WayfinderScrambler::alphabet("Zq7v"), keyed) << "the same key, the same alphabet";

    // "A" is 65 (1 modulo 64): exchange i swaps positions i and i + 1, so "A" travels to the end, and the
    // last exchange (63 with 0) brings it back to the front in place of "B".
    auto single = WayfinderScrambler::alphabet("A");
    EXPECT_EQ(std::string(single.begin(), single.end()),
        "ACDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-/B");
    std::string sixtyFour(64, 'k');
    EXPECT_EQ(
        WayfinderScrambler::alphabet(sixtyFour + "different tail"), WayfinderScrambler::alphabet(sixtyFour));
}

TEST(WayfinderScramblerTest, TheServiceReadsWhatTheTrackerWrites)
{
    const std::string text = "uid=1421236800000-42,name=Ann’s phone,event=Launched,eventvalue=,";
    for (const char* key : { "Zq7v", "k", "ключ" }) {
        SCOPED_TRACE(key);
        EXPECT_EQ(
            ::testing::AttributionService::unscramble(WayfinderScrambler::scramble(text, key), key), text);
        EXPECT_NE(::testing::AttributionService::unscramble(WayfinderScrambler::scramble(text, key), "other"),
            text);
    }
}

}
}
