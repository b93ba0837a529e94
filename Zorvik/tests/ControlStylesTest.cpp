#include "Zorvik/Views/Styles/ControlStyles.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"

#include <gtest/gtest.h>

#include <optional>

namespace zorvik::test {
namespace {

using platform::foundation::Utf16Range;
using platform::ui::AttributedString;
using platform::ui::Color;
using platform::ui::Font;
using platform::ui::Label;
using platform::ui::TextAttributes;
using platform::ui::TextField;

TEST(ControlStylesTest, StylingAFieldColoursItsCursorAndPlaceholder)
{
    EXPECT_EQ(ControlStyles::defaultPlaceholderTextColour(), Color::fromBytes(233, 233, 233));
    auto colour = ControlStyles::defaultPlaceholderTextColour();

    TextField field;
    field.setFont(*Font::named("OpenSans-Light", 16));
    field.setPlaceholder("Email");
    ControlStyles::styleTextField(field, colour);
    EXPECT_EQ(field.tintColor(), colour);
    ASSERT_TRUE(field.attributedPlaceholder());
    EXPECT_EQ(field.attributedPlaceholder()->string(), "Email");
    TextAttributes expected;
    expected.foregroundColor = colour;
    expected.font = field.font();
    EXPECT_EQ(field.attributedPlaceholder()->attributesAt(0), expected);

    TextField bare;
    ControlStyles::styleTextField(bare, colour);
    EXPECT_EQ(bare.tintColor(), colour);
    EXPECT_FALSE(bare.attributedPlaceholder());
    EXPECT_FALSE(bare.placeholder());
}

TEST(ControlStylesTest, UnderliningCoversTheWholeTextAndKeepsTheLabelsLook)
{
    Label label;
    label.setText("Terms and conditions");
    label.setTextColor(Color::red());
    ControlStyles::underlineLabel(label);

    auto text = label.attributedText();
    ASSERT_TRUE(text);
    ASSERT_EQ(text->runs().size(), 1u);
    EXPECT_EQ(text->runs()[0].range, (Utf16Range { 0, 20 }));
    EXPECT_EQ(text->runs()[0].attributes.underlineStyle, TextAttributes::underlineSingle);
    EXPECT_EQ(label.textColor(), Color::red());

    Label empty;
    ControlStyles::underlineLabel(empty);
    EXPECT_EQ(empty.text(), "");
}

TEST(ControlStylesTest, TheEndOfTheTextFromTheMatchTakesTheOtherFont)
{
    struct Case {
        const char* text;
        const char* search;
        std::size_t from;
    } cases[] = {
        { "Acme Ltd Services", "ltd", 5 },
        { "ACME LTD", "Acme", 0 },
        { "Straße Ltd", "LTD", 7 },
        { "Große Strasse", "SS", 3 },
        { "😀 Ltd", "ltd", 3 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Label label;
        label.setFont(*Font::named("OpenSans-Light", 14));
        label.setText(c.text);
        ControlStyles::endOfStringFont(c.search, label, "OpenSans-SemiBold");

        auto text = label.attributedText();
        ASSERT_TRUE(text);
        EXPECT_EQ(text->string(), c.text);
        auto tail = text->attributesAt(c.from);
        EXPECT_EQ(tail.font, Font::named("OpenSans-SemiBold", 14));
        if (c.from > 0) {
            EXPECT_EQ(text->attributesAt(c.from - 1).font, std::nullopt) << "left to the label's own font";
        }
        Utf16Range range;
        text->attributesAt(text->length() - 1, &range);
        EXPECT_EQ(range.location + range.length, text->length());
    }
}

TEST(ControlStylesTest, WithoutMatchTextOrFontTheLabelStaysAsItWas)
{
    Label label;
    label.setText("Acme Services");
    auto before = label.attributedText();
    ControlStyles::endOfStringFont("ltd", label, "OpenSans-SemiBold");
    ControlStyles::endOfStringFont("acme", label, "NoSuchFont");
    EXPECT_EQ(label.attributedText(), before);

    Label empty;
    ControlStyles::endOfStringFont("ltd", empty, "OpenSans-SemiBold");
    EXPECT_FALSE(empty.text());
}

}
}
