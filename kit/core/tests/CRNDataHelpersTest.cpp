#include "kit/core/CRNDataHelpers.h"

#include "platform/foundation/Regex.h"

#include "testing/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

using namespace kit;

namespace {

// The digest sha1sum, the oracle, gives for `content`.
std::string sha1sum(const std::string& content)
{
    testing::ChildProcess tool({ "/usr/bin/sha1sum" });
    tool.write(content);
    tool.closeInput();
    return tool.readAll(std::chrono::seconds(10)).substr(0, 40);
}

}

TEST(CRNDataHelpersTest, HashesAgreeWithSha1sum)
{
    std::string mebibyte(1 << 20, '\0');
    for (std::size_t index = 0; index < mebibyte.size(); ++index)
        mebibyte[index] = static_cast<char>(index * 31 % 251);
    for (const std::string& content : { std::string(), std::string("abc"), mebibyte }) {
        std::string expected = sha1sum(content);
        ASSERT_EQ(expected.size(), 40u);
        EXPECT_EQ(CRNHashBytes(content.data(), content.size()), expected);
        EXPECT_EQ(CRNHashNSData(platform::foundation::Bytes(content.begin(), content.end())), expected);
    }
    EXPECT_EQ(CRNHashBytes("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(CRNHashBytes(nullptr, 5), CRNHashBytes(""));
}

TEST(CRNDataHelpersTest, SafeHexWritesLowerCaseDigitsAndATerminator)
{
    const std::uint8_t bytes[] = { 0x00, 0xAB };
    char out[5];
    std::memset(out, 'x', sizeof out);
    CRNSafeHexToString(bytes, 2, out);
    EXPECT_STREQ(out, "00ab");

    std::memset(out, 'x', sizeof out);
    CRNSafeHexToString(bytes, 0, out);
    EXPECT_EQ(out[0], '\0');
    EXPECT_EQ(out[1], 'x') << "only 2 × 0 + 1 bytes may be written";

    std::memset(out, 'x', sizeof out);
    CRNSafeHexToString(nullptr, 2, out);
    EXPECT_EQ(std::string(out, 5), std::string(5, '\0'));

    CRNSafeHexToString(bytes, 2, nullptr);
    CRNHexFromByte(0xF0, nullptr);
    char pair[3] = {};
    CRNHexFromByte(0xF0, pair);
    EXPECT_STREQ(pair, "f0");
}

TEST(CRNDataHelpersTest, DataAndUuidsAsText)
{
    EXPECT_EQ(CRNNSDataPrettyDescription({ 0xDE, 0xAD, 0x01 }), "dead01");
    EXPECT_EQ(CRNNSDataPrettyDescription({}), "");
    const std::uint8_t uuid[16] = { 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0, 1, 2, 3, 4, 5, 6, 7 };
    EXPECT_EQ(CRNUUIDToNSString(uuid), "123456789abcdef00001020304050607");

    platform::foundation::Regex form("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    std::set<std::string> seen;
    for (int index = 0; index < 100; ++index) {
        std::string text = CRNGenerateUUID();
        EXPECT_TRUE(form.matchesEntirely(text)) << text;
        seen.insert(text);
    }
    EXPECT_EQ(seen.size(), 100u);
}
