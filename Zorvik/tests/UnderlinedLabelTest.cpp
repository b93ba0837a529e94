#include "Zorvik/Views/UnderlinedLabel/UnderlinedLabel.h"
#include "platform/ui/AttributedString.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::ui::Color;
using platform::ui::Font;
using platform::ui::NibCoder;
using platform::ui::TextAttributes;

TEST(UnderlinedLabelTest, EveryTextShowsUnderlinedInTheLabelsOwnLook)
{
    UnderlinedLabel label(NibCoder { { 0, 0, 100, 20 } });
    label.setFont(*Font::named("OpenSans-Light", 12));
    label.setTextColor(Color::blue());
    label.setText("Forgot your pin?");

    EXPECT_EQ(label.text(), "Forgot your pin?");
    auto text = label.attributedText();
    ASSERT_TRUE(text);
    ASSERT_EQ(text->runs().size(), 1u);
    TextAttributes expected;
    expected.underlineStyle = TextAttributes::underlineSingle;
    EXPECT_EQ(text->runs()[0].attributes, expected) << "only the underline: font and colour are the label's";

    label.setText("Forgot your pin?");
    EXPECT_EQ(label.attributedText(), text) << "the same text twice looks the same";
    label.setText("Terms");
    EXPECT_EQ(label.attributedText()->string(), "Terms");
    EXPECT_EQ(label.attributedText()->attributesAt(4).underlineStyle, TextAttributes::underlineSingle);
}

TEST(UnderlinedLabelTest, NoTextIsEmptyText)
{
    UnderlinedLabel label(NibCoder {});
    EXPECT_EQ(label.text(), "");
    label.setText("Terms");
    label.setText(std::nullopt);
    EXPECT_EQ(label.text(), "");
    EXPECT_EQ(label.attributedText()->length(), 0u);
}

}
}
