#include "platform/foundation/Uuid.h"

#include "platform/foundation/Regex.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

using platform::foundation::Regex;
using platform::foundation::Uuid;

TEST(Uuid, RandomUuidsAreUpperCaseVersionFourAndDistinct)
{
    // Version 4 in the third group, the RFC 4122 variant (8, 9, A or B) in the fourth.
    Regex format("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    std::set<std::string> seen;
    for (int index = 0; index < 2000; ++index) {
        std::string text = Uuid::random().string();
        ASSERT_TRUE(format.matchesEntirely(text)) << text;
        seen.insert(text);
    }
    EXPECT_EQ(seen.size(), 2000u);
}

TEST(Uuid, TextWritesEveryByteInOrder)
{
    Uuid uuid = Uuid::random();
    std::string text = uuid.string();
    std::string hex;
    for (char character : text)
        if (character != '-')
            hex += character;
    ASSERT_EQ(hex.size(), 32u);
    for (std::size_t index = 0; index < 16; ++index)
        EXPECT_EQ(std::stoi(hex.substr(index * 2, 2), nullptr, 16), uuid.bytes()[index]) << index;
}

TEST(Uuid, ReadsBackWhatItWritesAndNothingElse)
{
    Uuid uuid = Uuid::random();
    EXPECT_EQ(Uuid::fromString(uuid.string()), uuid);
    std::string lower = uuid.string();
    for (char& character : lower)
        character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
    EXPECT_EQ(Uuid::fromString(lower), uuid);

    const char* refused[] = {
        "",
        "E621E1F8-C36C-495A-93FC-0C247A3E6E5",
        "E621E1F8-C36C-495A-93FC-0C247A3E6E5F0",
        "E621E1F8C36C-495A-93FC-0C247A3E6E5F-",
        "E621E1F8-C36C-495A-93FC-0C247A3E6E5G",
        "{621E1F8-C36C-495A-93FC-0C247A3E6E5F",
    };
    for (const char* text : refused)
        EXPECT_EQ(Uuid::fromString(text), std::nullopt) << text;
}
