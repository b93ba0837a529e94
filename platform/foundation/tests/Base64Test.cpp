#include "platform/foundation/Base64.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using platform::foundation::Base64;
using platform::foundation::Bytes;

TEST(Base64, EncodesTheTestVectorsOfTheStandard)
{
    struct Case {
        std::string bytes;
        std::string text;
    };
    // RFC 4648, section 10, and bytes that use the last two letters of the alphabet and every bit.
    for (const auto& [bytes, text] : { Case { "", "" }, Case { "f", "Zg==" }, Case { "fo", "Zm8=" },
             Case { "foo", "Zm9v" }, Case { "foob", "Zm9vYg==" }, Case { "fooba", "Zm9vYmE=" },
             Case { "foobar", "Zm9vYmFy" }, Case { "\xfb\xff\xbf", "+/+/" },
             Case { std::string("\0\0\0", 3), "AAAA" }, Case { "\xff\xff\xff\xff", "/////w==" } }) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Base64::encode(bytes), text);
        EXPECT_EQ(Base64::encode(Bytes(bytes.begin(), bytes.end())), text);
        EXPECT_EQ(Base64::decode(text), bytes);
    }
}

TEST(Base64, EveryLengthAndByteReadsBackAsItWent)
{
    std::mt19937 random(4648);
    for (std::size_t length = 0; length < 300; ++length) {
        std::string bytes(length, '\0');
        for (auto& byte : bytes)
            byte = static_cast<char>(random() & 0xFF);
        auto text = Base64::encode(bytes);
        ASSERT_EQ(text.size(), 4 * ((length + 2) / 3)) << length;
        ASSERT_EQ(Base64::decode(text), bytes) << length;
    }
}

TEST(Base64, RefusesTextThatIsNotCanonicalBase64)
{
    for (const char* text : { "Zg=", "Zm9vY", "Zm9vYg", "Zm 9v", "Zm9v\n", "Zm9v\r\nYmFy", "Zm9-", "Zm9_",
             "Zm9\x80", "Zg=a", "Z===", "====", "Zm==Zm9v", "=Zm9", "Zh==", "Zm9=", "Zm8", "Zg==Zg==" }) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Base64::decode(text), std::nullopt);
    }
    EXPECT_EQ(Base64::decode(std::string("Zm9v\0AAA", 8)), std::nullopt) << "a NUL byte inside";
}
