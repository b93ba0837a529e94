#include "platform/ui/Keyboard.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Toolbar.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform::ui;
using platform::foundation::Notification;
using platform::foundation::NotificationCenter;
using platform::foundation::ObserverToken;

namespace {

struct Posted {
    std::string name;
    Rect begin;
    Rect end;
    double duration;
};

// Records the keyboard's notifications while a window with two fields is shown.
struct KeyboardOnScreen : testing::Test {
    std::vector<Posted> posted;
    std::vector<ObserverToken> tokens;
    std::shared_ptr<Window> window;
    std::shared_ptr<TextField> first = std::make_shared<TextField>(Rect { 0, 0, 100, 30 });
    std::shared_ptr<TextField> second = std::make_shared<TextField>(Rect { 0, 50, 100, 30 });

    void SetUp() override
    {
        Keyboard::shared().reset();
        for (const char* name : { Keyboard::willShowNotification, Keyboard::didShowNotification,
                 Keyboard::willHideNotification, Keyboard::didHideNotification }) {
            tokens.push_back(
                NotificationCenter::defaultCenter().addObserver(name, nullptr, [this](const Notification& n) {
                    posted.push_back(
                        { n.name, *Keyboard::frameFromNotification(n, Keyboard::frameBeginUserInfoKey),
                            *Keyboard::frameFromNotification(n, Keyboard::frameEndUserInfoKey),
                            n.userInfo->get(Keyboard::animationDurationUserInfoKey).doubleValue() });
                }));
        }
    }

    void TearDown() override { Keyboard::shared().reset(); }

    void showWindow()
    {
        window = std::make_shared<Window>();
        window->addSubview(first);
        window->addSubview(second);
    }

    std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (auto& p : posted)
            result.push_back(p.name);
        return result;
    }
};

}

TEST_F(KeyboardOnScreen, ShowAndHideCarryTheFramesOnEachScreenSize)
{
    for (Size screen : { Screen::size320x480, Screen::size375x667, Screen::size414x736 }) {
        ScopedMainScreen scoped(screen);
        showWindow();
        posted.clear();
        ASSERT_TRUE(first->becomeFirstResponder());
        ASSERT_EQ(names(),
            (std::vector<std::string> { "KeyboardWillShowNotification", "KeyboardDidShowNotification" }));
        Rect shown { 0, screen.height - 216, screen.width, 216 };
        EXPECT_EQ(posted[1].end, shown) << toString(screen);
        EXPECT_EQ(posted[1].begin, shown.offsetBy(0, 216)) << "slides up from below the screen";
        EXPECT_EQ(posted[1].duration, Keyboard::animationDuration);
        EXPECT_EQ(Keyboard::shared().frame(), shown);

        posted.clear();
        first->resignFirstResponder();
        ASSERT_EQ(names(),
            (std::vector<std::string> { "KeyboardWillHideNotification", "KeyboardDidHideNotification" }));
        EXPECT_EQ(posted[1].begin, shown);
        EXPECT_EQ(posted[1].end, shown.offsetBy(0, 216));
        EXPECT_EQ(Keyboard::shared().frame(), Rect::zero());
    }
}

TEST_F(KeyboardOnScreen, MovingFocusBetweenFieldsKeepsTheKeyboardUpAndPostsItsShowingAgain)
{
    showWindow();
    first->becomeFirstResponder();
    Rect shown = Keyboard::shared().frame();
    posted.clear();
    second->becomeFirstResponder();
    ASSERT_EQ(names(),
        (std::vector<std::string> { "KeyboardWillShowNotification", "KeyboardDidShowNotification" }));
    EXPECT_EQ(posted[1].begin, shown) << "the keyboard stays where it is";
    EXPECT_EQ(posted[1].end, shown);
    EXPECT_EQ(Keyboard::shared().responder(), second);

    posted.clear();
    second->becomeFirstResponder();
    EXPECT_TRUE(posted.empty()) << "the same responder again changes nothing";
    window->endEditing(true);
    EXPECT_EQ(names(),
        (std::vector<std::string> { "KeyboardWillHideNotification", "KeyboardDidHideNotification" }));
}

TEST_F(KeyboardOnScreen, TheAccessoryViewAddsToTheHeightAndCanBeTapped)
{
    ScopedMainScreen scoped(Screen::size320x568);
    showWindow();
    Keyboard::shared().setHeight(253);
    auto bar = std::make_shared<Toolbar>();
    bool done = false;
    auto button = std::make_shared<BarButtonItem>("Done", BarButtonItemStyle::Plain, [&](BarButtonItem&) {
        done = true;
        first->resignFirstResponder();
    });
    bar->setItems({ BarButtonItem::flexibleSpace(), button });
    first->setInputAccessoryView(bar);

    first->becomeFirstResponder();
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[1].end, (Rect { 0, 568 - 253 - 44, 320, 253 + 44 }));
    EXPECT_EQ(Keyboard::shared().accessoryView(), bar);
    EXPECT_EQ(bar->frame(), (Rect { 0, 0, 320, 44 }));

    posted.clear();
    second->becomeFirstResponder();
    EXPECT_EQ(
        names(), (std::vector<std::string> { "KeyboardWillShowNotification", "KeyboardDidShowNotification" }))
        << "the frame changes when the new field has no accessory";
    EXPECT_EQ(posted[1].end, (Rect { 0, 568 - 253, 320, 253 }));

    first->becomeFirstResponder();
    EXPECT_TRUE(bar->tapItem(*button));
    EXPECT_TRUE(done);
    EXPECT_FALSE(Keyboard::shared().isVisible());
}

TEST_F(KeyboardOnScreen, TypingAndDeletingGoToTheFirstResponder)
{
    showWindow();
    EXPECT_EQ(Keyboard::shared().type("x"), 0u) << "the keyboard is down";
    EXPECT_FALSE(Keyboard::shared().pressReturn());
    second->becomeFirstResponder();
    EXPECT_EQ(Keyboard::shared().type("hé😀"), 3u);
    EXPECT_EQ(second->text(), "hé😀");
    EXPECT_EQ(Keyboard::shared().deleteBackward(5), 3u);
    EXPECT_EQ(second->text(), "");
}

TEST_F(KeyboardOnScreen, TheKeyboardGoesDownWhenTheWindowWithTheEditingFieldGoesAway)
{
    showWindow();
    second->becomeFirstResponder();
    posted.clear();
    window.reset();
    first.reset();
    second.reset();
    EXPECT_EQ(names(),
        (std::vector<std::string> { "KeyboardWillHideNotification", "KeyboardDidHideNotification" }));
    EXPECT_FALSE(Keyboard::shared().isVisible());
}
