#include "platform/foundation/Bundle.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/PropertyList.h"

#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

using platform::foundation::Array;
using platform::foundation::Bundle;
using platform::foundation::Dictionary;
using platform::foundation::Files;
using platform::foundation::PropertyList;
using platform::foundation::Value;

namespace {

class BundleTest : public ::testing::Test {
protected:
    void SetUp() override { Files::setBundleDirectory(m_folder.path()); }
    void TearDown() override { Files::setBundleDirectory({}); }

    void writeInfo(const Value& info, bool binary = false)
    {
        if (binary)
            ASSERT_TRUE(Files::writeBytes(m_folder.path() / "Info.plist", *PropertyList::binary(info)));
        else
            ASSERT_TRUE(Files::writeText(m_folder.path() / "Info.plist", *PropertyList::xml(info)));
    }

    testing::TemporaryDirectory m_folder;
};

}

TEST_F(BundleTest, MainReadsTheResourceFoldersInfoPlistInEitherForm)
{
    for (bool binary : { false, true }) {
        writeInfo(
            Value(Dictionary::make({ { "CFBundleIdentifier", binary ? "com.binary" : "com.xml" } })), binary);
        auto bundle = Bundle::main();
        EXPECT_EQ(bundle->bundlePath(), m_folder.path());
        EXPECT_EQ(bundle->bundleIdentifier(), binary ? "com.binary" : "com.xml");
        EXPECT_EQ(bundle->appStoreReceiptPath(), m_folder.path() / "receipt");
    }
}

TEST_F(BundleTest, AMissingOrMalformedInfoPlistReadsAsEmpty)
{
    EXPECT_TRUE(Bundle::main()->infoDictionary()->empty());
    ASSERT_TRUE(Files::writeText(m_folder.path() / "Info.plist", "<plist><dict>"));
    EXPECT_TRUE(Bundle::main()->infoDictionary()->empty());
    writeInfo(Value(Array::make({ "not", "a", "dictionary" })));
    EXPECT_TRUE(Bundle::main()->infoDictionary()->empty());
    writeInfo(Value(Dictionary::make({ { "CFBundleIdentifier", 7 } })));
    EXPECT_EQ(Bundle::main()->bundleIdentifier(), std::nullopt);
}

TEST_F(BundleTest, MainFollowsTheResourceFolder)
{
    writeInfo(Value(Dictionary::make({ { "CFBundleIdentifier", "com.first" } })));
    testing::TemporaryDirectory other;
    Files::setBundleDirectory(other.path());
    EXPECT_TRUE(Bundle::main()->infoDictionary()->empty());
    Files::setBundleDirectory(m_folder.path());
    EXPECT_EQ(Bundle::main()->bundleIdentifier(), "com.first");
}
