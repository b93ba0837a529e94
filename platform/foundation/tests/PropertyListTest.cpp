#include "platform/foundation/PropertyList.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

using platform::foundation::Array;
using platform::foundation::Bytes;
using platform::foundation::Date;
using platform::foundation::Dictionary;
using platform::foundation::PropertyList;
using platform::foundation::Value;

namespace {

Value everyKind()
{
    return Dictionary::make({
        { "flag", true },
        { "count", 42 },
        { "negative", -7 },
        { "ratio", 0.25 },
        { "name", "Zorvik £ ünïcode" },
        { "when", Date { 1700000000 } },
        { "blob", Bytes { 0, 1, 254, 255 } },
        { "list", Array::make({ 1, "two", false }) },
        { "nested", Dictionary::make({ { "inner", "value" } }) },
    });
}

}

TEST(PropertyListTest, EveryKindSurvivesBothForms)
{
    Value original = everyKind();
    auto xml = PropertyList::xml(original);
    ASSERT_TRUE(xml);
    EXPECT_NE(xml->find("<plist"), std::string::npos);
    EXPECT_EQ(PropertyList::read(*xml), original);

    auto binary = PropertyList::binary(original);
    ASSERT_TRUE(binary);
    EXPECT_EQ(std::string(binary->begin(), binary->begin() + 6), "bplist");
    EXPECT_EQ(PropertyList::read(*binary), original);
}

TEST(PropertyListTest, ReadsAHandWrittenInfoPlist)
{
    auto value = PropertyList::read(R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict>
  <key>CFBundleIdentifier</key><string>com.zorvik.app</string>
  <key>Cairn</key><dict><key>APIKey</key><string>abc</string></dict>
  <key>Flag</key><false/>
</dict></plist>)");
    ASSERT_TRUE(value && value->dictionary());
    EXPECT_EQ(value->dictionary()->get("CFBundleIdentifier"), Value("com.zorvik.app"));
    EXPECT_EQ(value->dictionary()->get("Cairn").dictionary()->get("APIKey"), Value("abc"));
    EXPECT_EQ(value->dictionary()->get("Flag"), Value(false));
}

TEST(PropertyListTest, MalformedInputIsRefused)
{
    for (std::string text : { "", "not a plist", "<plist><dict><key>a</key>", "bplist00\x01\x02" })
        EXPECT_FALSE(PropertyList::read(text)) << text;
}

TEST(PropertyListTest, NullsAreLeftOutOfDictionariesAndRefusedElsewhere)
{
    auto dictionary = Dictionary::make({ { "kept", 1 } });
    auto written = PropertyList::xml(Value(dictionary));
    ASSERT_TRUE(written);
    EXPECT_EQ(PropertyList::read(*written), Value(dictionary));
    EXPECT_FALSE(PropertyList::xml(Value()));
    EXPECT_FALSE(PropertyList::binary(Value(Array::make({ 1, nullptr }))));
}
