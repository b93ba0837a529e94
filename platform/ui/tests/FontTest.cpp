#include "platform/ui/Font.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace platform::ui;

TEST(FontTest, KnownNamesOnly)
{
    EXPECT_EQ(Font::named("OpenSans-Light", 16)->description(), "OpenSans-Light 16");
    EXPECT_EQ(Font::named("OpenSans-SemiBold", 16)->pointSize(), 16);
    EXPECT_EQ(Font::named("Comic Sans", 16), std::nullopt);
    EXPECT_EQ(Font::systemFont(12).name(), Font::systemFontName);
    EXPECT_EQ(Font::systemFont(12).withSize(20), Font::systemFont(20));
}

TEST(FontTest, MeasurementFollowsTextSizeAndWeight)
{
    Font light = *Font::named("OpenSans-Light", 16);
    Font semibold = *Font::named("OpenSans-SemiBold", 16);
    EXPECT_LT(light.widthOfText("save"), semibold.widthOfText("save"));
    EXPECT_LT(light.widthOfText("iiii"), light.widthOfText("MMMM"));
    EXPECT_LT(light.widthOfText("save"), light.widthOfText("saved"));
    EXPECT_DOUBLE_EQ(light.withSize(32).widthOfText("save"), 2 * light.widthOfText("save"));
    EXPECT_EQ(light.sizeOfText(""), (Size { 0, 20 }));
    EXPECT_EQ(light.sizeOfText("😀").width, 16) << "wide characters take a whole em";
}

TEST(FontTest, WrappingBreaksAtWordsAndLimitsLines)
{
    Font font = Font::systemFont(10);
    double word = font.widthOfText("word");
    Size oneLine = font.sizeOfText("word word word");
    Size wrapped = font.sizeOfText("word word word", word + 1, 0);
    EXPECT_EQ(wrapped.height, std::ceil(3 * font.lineHeight()));
    EXPECT_EQ(wrapped.width, std::ceil(word));
    EXPECT_EQ(font.sizeOfText("word word word", word + 1, 2).height, std::ceil(2 * font.lineHeight()));
    EXPECT_EQ(font.sizeOfText("word word word", 0, 0), oneLine);
    EXPECT_EQ(font.sizeOfText("a\nb", 0, 0).height, std::ceil(2 * font.lineHeight()));
    EXPECT_LE(font.sizeOfText("averyveryverylongword", 30, 0).width, 30)
        << "a long word breaks between letters";
}
