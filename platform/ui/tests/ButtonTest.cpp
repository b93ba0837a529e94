#include "platform/ui/Button.h"

#include "platform/ui/Image.h"

#include <gtest/gtest.h>

using namespace platform::ui;

TEST(ButtonTest, TitlesPerStateFallBackToTheNormalTitle)
{
    auto button = std::make_shared<Button>(ButtonType::Custom, Rect { 0, 0, 68, 40 });
    button->setTitle("done");
    button->setTitle("wait", ControlState::Disabled);
    EXPECT_EQ(button->currentTitle(), "done");
    EXPECT_EQ(button->title(ControlState::Highlighted), "done");
    button->setEnabled(false);
    EXPECT_EQ(button->currentTitle(), "wait");
    button->setTitle(std::nullopt, ControlState::Disabled);
    EXPECT_EQ(button->currentTitle(), "done");
    button->setTitle(std::nullopt);
    EXPECT_EQ(button->currentTitle(), std::nullopt);
}

TEST(ButtonTest, AnAttributedTitleWinsOverThePlainOne)
{
    auto button = std::make_shared<Button>();
    button->setTitle("plain");
    AttributedString grey("save");
    grey.setForegroundColor(Color::fromBytes(199, 199, 205), grey.fullRange());
    button->setAttributedTitle(AttributedString("save", { Font::named("OpenSans-SemiBold", 16), {}, {} }));
    button->setAttributedTitle(grey, ControlState::Disabled);

    EXPECT_EQ(button->currentTitle(), "save");
    EXPECT_EQ(button->currentAttributedTitle()->attributesAt(0).font->name(), "OpenSans-SemiBold");
    button->setEnabled(false);
    EXPECT_EQ(button->currentAttributedTitle(), grey);
    EXPECT_EQ(button->describe(), "Button (0, 0, 0, 0) \"save\" [disabled]");
}

TEST(ButtonTest, TitleColoursDependOnTypeAndState)
{
    auto custom = std::make_shared<Button>(ButtonType::Custom);
    auto system = std::make_shared<Button>(ButtonType::System);
    EXPECT_EQ(custom->currentTitleColor(), Color::white());
    EXPECT_EQ(system->currentTitleColor(), Color::systemBlue());
    system->setTintColor(Color::red());
    EXPECT_EQ(system->currentTitleColor(), Color::red());

    custom->setTitleColor(Color::black());
    custom->setTitleColor(Color::gray(), ControlState::Highlighted);
    EXPECT_EQ(custom->titleColor(ControlState::Disabled), Color::black());
    EXPECT_EQ(custom->titleColor(ControlState::Highlighted), Color::gray());
}

TEST(ButtonTest, ImagesPerStateAndSizeToFit)
{
    auto image = Image::fromPixels(20, 10, std::vector<std::uint8_t>(20 * 10 * 4, 255), 2);
    auto button = std::make_shared<Button>();
    button->setImage(image);
    EXPECT_EQ(button->image(ControlState::Selected), image);
    button->setBackgroundImage(image, ControlState::Highlighted);
    EXPECT_EQ(button->backgroundImage(), nullptr);
    EXPECT_EQ(button->backgroundImage(ControlState::Highlighted), image);

    Font font = Font::systemFont(15);
    button->setTitle("Send");
    button->sizeToFit();
    Size title = font.sizeOfText("Send");
    EXPECT_EQ(button->frame().size, (Size { title.width + 10, title.height }));
}
