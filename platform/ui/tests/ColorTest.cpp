#include "platform/ui/Color.h"

#include <gtest/gtest.h>

using namespace platform::ui;

TEST(ColorTest, ComponentsAndVariants)
{
    Color teal = Color::fromBytes(0, 188, 203);
    EXPECT_DOUBLE_EQ(teal.greenComponent(), 188 / 255.0);
    EXPECT_EQ(teal.rgbHex(), 0x00BCCBu);
    EXPECT_EQ(teal, Color::fromHex(0x00BCCB));
    EXPECT_EQ(teal.withAlpha(0.4).alphaComponent(), 0.4);
    EXPECT_NE(teal.withAlpha(0.4), teal);
    EXPECT_EQ(Color(2, -1, 0.5).redComponent(), 1) << "components are clamped";
    EXPECT_EQ(Color::fromWhite(1), Color::white());
    EXPECT_EQ(Color::white().withAlpha(1), Color(1, 1, 1, 1));
}

TEST(ColorTest, HexStrings)
{
    EXPECT_EQ(Color::fromHexString("#FFB640"), Color::fromBytes(255, 182, 64));
    EXPECT_EQ(Color::fromHexString("ffb640"), Color::fromBytes(255, 182, 64));
    EXPECT_EQ(Color::fromHexString("#fff"), Color::white());
    EXPECT_EQ(Color::fromHexString("#00000080")->alphaComponent(), 128 / 255.0);
    for (const char* bad : { "", "#", "FFB64", "GGGGGG", "#12345" })
        EXPECT_EQ(Color::fromHexString(bad), std::nullopt) << bad;
}

TEST(ColorTest, Descriptions)
{
    EXPECT_EQ(Color::black().description(), "#000000");
    EXPECT_EQ(Color::black().withAlpha(0.4).description(), "#000000 alpha 0.4");
    EXPECT_EQ(Color::clear().description(), "clear");
}
