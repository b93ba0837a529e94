#include "platform/ui/Label.h"

#include <gtest/gtest.h>

using namespace platform::ui;

TEST(LabelTest, PlainTextReadsAsAttributedTextInTheLabelsFontAndColour)
{
    auto label = std::make_shared<Label>();
    EXPECT_EQ(label->attributedText(), std::nullopt);
    label->setFont(*Font::named("OpenSans-Light", 14));
    label->setTextColor(Color::red());
    label->setText("Acme");
    auto attributed = label->attributedText();
    ASSERT_TRUE(attributed);
    EXPECT_EQ(attributed->string(), "Acme");
    EXPECT_EQ(attributed->attributesAt(0).font, label->font());
    EXPECT_EQ(attributed->attributesAt(3).foregroundColor, Color::red());
}

TEST(LabelTest, AttributedTextSetsThePlainTextAndKeepsWhatItLeavesOut)
{
    auto label = std::make_shared<Label>();
    AttributedString underlined("Terms");
    underlined.setUnderlineStyle(TextAttributes::underlineSingle, underlined.fullRange());
    label->setAttributedText(underlined);
    EXPECT_EQ(label->text(), "Terms");
    EXPECT_EQ(label->attributedText(), underlined);
    EXPECT_EQ(label->attributedText()->attributesAt(0).font, std::nullopt) << "the label's own font shows";

    label->setText("Other");
    EXPECT_EQ(label->attributedText()->attributesAt(0).underlineStyle, std::nullopt) << "plain text drops it";
    label->setText(std::nullopt);
    EXPECT_EQ(label->attributedText(), std::nullopt);
    EXPECT_FALSE(label->isUserInteractionEnabled());
}

TEST(LabelTest, SizesFollowTheFontAndTheNumberOfLines)
{
    auto label = std::make_shared<Label>(Rect { 5, 5, 0, 0 });
    Font font = Font::systemFont(17);
    label->setText("Hi, you have an invoice");
    EXPECT_EQ(label->intrinsicContentSize(), font.sizeOfText("Hi, you have an invoice"));
    label->sizeToFit();
    EXPECT_EQ(label->frame(), (Rect { { 5, 5 }, font.sizeOfText("Hi, you have an invoice") }));

    label->setNumberOfLines(0);
    Size wrapped = label->sizeThatFits({ 80, 1000 });
    EXPECT_LE(wrapped.width, 80);
    EXPECT_GT(wrapped.height, font.sizeOfText("x").height);

    AttributedString mixed("ab");
    mixed.setFont(Font::systemFont(34), { 1, 1 });
    label->setNumberOfLines(1);
    label->setAttributedText(mixed);
    EXPECT_EQ(label->intrinsicContentSize().height, Font::systemFont(34).sizeOfText("b").height);
    EXPECT_EQ(std::make_shared<Label>()->intrinsicContentSize(), (Size { 0, 0 }));
}
