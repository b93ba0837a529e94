#include "platform/ui/AttributedString.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace platform::ui;
using platform::foundation::Utf16Range;

namespace {

TextAttributes withFont(const char* name)
{
    TextAttributes attributes;
    attributes.font = Font::named(name, 16);
    return attributes;
}

}

TEST(AttributedStringTest, RangesCountUtf16UnitsAcrossEmoji)
{
    AttributedString text("a😀b");
    EXPECT_EQ(text.length(), 4u);
    text.setForegroundColor(Color::red(), { 1, 2 });
    EXPECT_EQ(text.attributesAt(0).foregroundColor, std::nullopt);
    Utf16Range range;
    EXPECT_EQ(text.attributesAt(2, &range).foregroundColor, Color::red());
    EXPECT_EQ(range, (Utf16Range { 1, 2 }));
    EXPECT_EQ(text.substring({ 1, 2 }).string(), "😀");
    EXPECT_THROW(text.substring({ 2, 1 }), std::out_of_range) << "half an emoji";
    EXPECT_THROW(text.setUnderlineStyle(1, { 3, 2 }), std::out_of_range);
    EXPECT_THROW(text.attributesAt(4), std::out_of_range);
}

TEST(AttributedStringTest, AttributesLayerAndRunsMerge)
{
    AttributedString text("Acme Ltd Services", withFont("OpenSans-Light"));
    text.setFont(*Font::named("OpenSans-SemiBold", 16), { 5, 12 });
    text.setUnderlineStyle(TextAttributes::underlineSingle, text.fullRange());

    auto runs = text.runs();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].range, (Utf16Range { 0, 5 }));
    EXPECT_EQ(runs[0].attributes.font->name(), "OpenSans-Light");
    EXPECT_EQ(runs[1].attributes.font->name(), "OpenSans-SemiBold");
    EXPECT_EQ(runs[1].attributes.underlineStyle, 1) << "adding an attribute keeps the others";

    text.setFont(*Font::named("OpenSans-Light", 16), { 5, 12 });
    EXPECT_EQ(text.runs().size(), 1u) << "equal neighbours merge";
    text.setAttributes({}, { 0, 4 });
    EXPECT_EQ(text.attributesAt(0), TextAttributes {});
    EXPECT_EQ(text.description(), "\"Acme\" \" Ltd Services\" {OpenSans-Light 16, underline 1}");
}

TEST(AttributedStringTest, CopiesAreIndependentAndAppendKeepsEachPartsAttributes)
{
    AttributedString original("save", withFont("OpenSans-SemiBold"));
    AttributedString copy = original;
    copy.setForegroundColor(Color::fromBytes(199, 199, 205), copy.fullRange());
    EXPECT_EQ(original.attributesAt(0).foregroundColor, std::nullopt);
    EXPECT_NE(original, copy);

    AttributedString joined("£");
    joined.append(original);
    EXPECT_EQ(joined.string(), "£save");
    EXPECT_EQ(joined.attributesAt(0).font, std::nullopt);
    EXPECT_EQ(joined.attributesAt(1).font->name(), "OpenSans-SemiBold");
    EXPECT_EQ(joined.substring({ 1, 4 }), original);
    EXPECT_EQ(AttributedString().length(), 0u);
    EXPECT_TRUE(AttributedString().runs().empty());
}
