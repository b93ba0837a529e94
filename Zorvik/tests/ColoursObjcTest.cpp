#include "Zorvik/Views/Colours/ColoursObjc.h"
#include "Zorvik/Views/Colours/Colours.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::ui::Color;

TEST(ColoursObjcTest, ThePalette)
{
    EXPECT_EQ(ColoursObjc::teal(), Color::fromBytes(0, 188, 203));
    EXPECT_EQ(Colours::teal(), ColoursObjc::teal());
    EXPECT_EQ(&Colours::teal(), &Colours::teal()) << "made once";
    EXPECT_EQ(ColoursObjc::dueYellow(), Color::fromBytes(255, 182, 64));
    EXPECT_EQ(ColoursObjc::lateRed(), Color::fromBytes(206, 50, 65));
    EXPECT_EQ(ColoursObjc::lateRed().alphaComponent(), 1);
}

TEST(ColoursObjcTest, HexStrings)
{
    struct Case {
        const char* text;
        Color colour;
    } cases[] = {
        { "FFB640", Color::fromBytes(255, 182, 64) },
        { "  ffb640 ", Color::fromBytes(255, 182, 64) },
        { "\n0xffb640\t", Color::fromBytes(255, 182, 64) },
        { "0XFFB640", Color::fromBytes(255, 182, 64) },
        { "00bccb", Color::fromBytes(0, 188, 203) },
        { "000000", Color::black() },
        { "#FFB640", Color::gray() },
        { "FFB64", Color::gray() },
        { "0xFFB6", Color::gray() },
        { "FFB6400", Color::gray() },
        { "", Color::gray() },
        { "GGHHII", Color::gray() },
        { "12 456", Color::gray() },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ColoursObjc::colorWithHexString(c.text), c.colour) << "'" << c.text << "'";
    EXPECT_FLOAT_EQ(float(ColoursObjc::colorWithHexString("FFB640").greenComponent()), 182 / 255.0f);
}

}
}
