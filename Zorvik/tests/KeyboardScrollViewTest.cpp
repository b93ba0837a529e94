#include "Zorvik/Views/KeyboardScrollView/KeyboardScrollView.h"

#include "Zorvik/Views/ContentView/TemplateViewObjc.h"
#include "Zorvik/tests/FrameFixture.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/NibBuilder.h"
#include "platform/ui/TextField.h"

#include <gtest/gtest.h>

namespace zorvik::test {
namespace {

using platform::ui::Keyboard;
using platform::ui::NibBuilder;
using platform::ui::NibRegistry;
using platform::ui::Point;
using platform::ui::Rect;
using platform::ui::Size;
using platform::ui::TextField;

/// An address form whose content holds a field near its top and one further down.
class AddressForm : public TemplateViewObjc {
public:
    AddressForm()
    {
        declareOutlet("town", town);
        declareOutlet("postcode", postcode);
    }
    std::string className() const override { return "AddressForm"; }

    std::shared_ptr<TextField> town;
    std::shared_ptr<TextField> postcode;
};

class KeyboardScrollViewTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        NibRegistry::registerNib("AddressForm", [](NibBuilder& nib) {
            auto root = nib.topLevel(std::make_shared<platform::ui::View>(Rect { 0, 0, 320, 400 }));
            for (const auto& [name, y] : { std::pair { "town", 10.0 }, std::pair { "postcode", 300.0 } }) {
                auto field = std::make_shared<TextField>(Rect { 20, y, 280, 30 });
                field->setPlaceholder(std::string(name));
                root->addSubview(field);
                nib.outlet(name, field);
            }
        });
    }

    void TearDown() override
    {
        NibRegistry::removeNib("AddressForm");
        FrameTest::TearDown();
    }

    /// Shows the form filling the window of a screen of `size`.
    void showForm(Size size)
    {
        useScreen(size);
        form = XibViewObjcmb::create<AddressForm>();
        window->setContentView(form);
        layout();
        scroll = form->contentScrollView();
    }

    /// The bottom edge of the field in window coordinates.
    static double bottomInWindow(const TextField& field)
    {
        return field.convertRectTo(field.bounds(), nullptr).maxY();
    }

    std::shared_ptr<AddressForm> form;
    std::shared_ptr<KeyboardScrollView> scroll;
};

TEST_F(KeyboardScrollViewTest, AFieldBelowTheKeyboardComesToRestTenPointsAboveIt)
{
    for (Size size : { platform::ui::Screen::size320x480, platform::ui::Screen::size320x568 }) {
        SCOPED_TRACE(size.height);
        showForm(size);
        double holderHeight = form->contentHolder()->frame().height();
        tap("postcode");
        double keyboardTop = size.height - Keyboard::defaultHeight;
        EXPECT_EQ(scroll->keyboardFrame(), (Rect { 0, keyboardTop, 320, Keyboard::defaultHeight }));
        EXPECT_EQ(scroll->contentSize(), (Size { 0, holderHeight + Keyboard::defaultHeight }));
        EXPECT_DOUBLE_EQ(bottomInWindow(*form->postcode), keyboardTop - 10);
        EXPECT_GT(scroll->contentOffset().y, 0);

        driver.pressReturn();
        form->postcode->resignFirstResponder();
        EXPECT_EQ(scroll->keyboardFrame(), Rect::zero());
        EXPECT_EQ(scroll->contentOffset(), (Point { 0, 0 })) << "the offset goes back at once";
        EXPECT_NE(scroll->contentSize(), (Size { 0, 0 }));
        advance(0.2);
        EXPECT_EQ(scroll->contentSize(), (Size { 0, 0 })) << "the extra range goes when the animation ends";
    }
}

TEST_F(KeyboardScrollViewTest, AFieldThatEndsAtTheKeyboardsTopEdgeStaysWhereItIs)
{
    showForm(platform::ui::Screen::size320x568);
    double keyboardTop = 568 - Keyboard::defaultHeight;
    double contentTop = form->contentHolder()->convertPointTo({ 0, 0 }, nullptr).y;
    for (double below : { 0.0, 1.0 }) {
        SCOPED_TRACE(below);
        form->postcode->setFrame({ 20, keyboardTop - contentTop - 30 + below, 280, 30 });
        tap("postcode");
        EXPECT_EQ(scroll->contentOffset().y, below == 0 ? 0 : 11);
        EXPECT_DOUBLE_EQ(bottomInWindow(*form->postcode), below == 0 ? keyboardTop : keyboardTop - 10);
        form->postcode->resignFirstResponder();
        advance(0.2);
    }
}

TEST_F(KeyboardScrollViewTest, WithoutAFieldEditingOnlyTheScrollRangeGrows)
{
    showForm(platform::ui::Screen::size320x568);
    scroll->setContentOffset(Point { 0, 5 });
    Rect keyboard { 0, 300, 320, 268 };
    scroll->setKeyboardFrame(keyboard);
    EXPECT_EQ(scroll->contentSize().height, form->contentHolder()->frame().height() + 268);
    EXPECT_EQ(scroll->contentOffset(), (Point { 0, 5 }));

    scroll->setKeyboardFrame(Rect::zero());
    advance(0.1);
    scroll->setKeyboardFrame(keyboard);
    advance(0.2);
    EXPECT_NE(scroll->contentSize(), (Size { 0, 0 })) << "a keyboard back in the meantime keeps its range";
}

TEST_F(KeyboardScrollViewTest, ANewFieldUnderAKeyboardThatStaysUpComesAboveIt)
{
    for (bool followed : { false, true }) {
        SCOPED_TRACE(followed ? "fields followed" : "fields not followed");
        showForm(platform::ui::Screen::size320x568);
        if (followed)
            scroll->setTextFields({ form->town, form->postcode });
        tap("town");
        EXPECT_EQ(scroll->contentOffset().y, 0);
        form->postcode->becomeFirstResponder();
        EXPECT_DOUBLE_EQ(bottomInWindow(*form->postcode), 568 - Keyboard::defaultHeight - 10)
            << "the keyboard's showing, posted again, brings the new field into sight";
        driver.type("SW1A 1AA");
        EXPECT_EQ(form->postcode->text(), "SW1A 1AA");
        form->postcode->resignFirstResponder();
        advance(0.2);
    }
}

TEST_F(KeyboardScrollViewTest, OnlyAViewInAViewTreeFollowsTheKeyboard)
{
    showForm(platform::ui::Screen::size320x568);
    auto search = std::make_shared<TextField>(Rect { 0, 0, 320, 30 });
    search->setPlaceholder(std::string("search"));
    window->addSubview(search);
    scroll->removeFromSuperview();
    tap("search");
    EXPECT_EQ(scroll->keyboardFrame(), Rect::zero());
    search->resignFirstResponder();

    auto other = std::make_shared<platform::ui::View>(window->bounds());
    window->insertSubviewBelow(other, *search);
    other->addSubview(scroll);
    scroll->setTranslatesAutoresizingMaskIntoConstraints(true);
    scroll->setFrame({ 0, 64, 320, 504 });
    tap("search");
    EXPECT_EQ(scroll->keyboardFrame().height(), Keyboard::defaultHeight);
}
TEST_F(KeyboardScrollViewTest, AKeyboardNotificationWithoutAFrameChangesNothing)
{
    showForm(platform::ui::Screen::size320x568);
    auto& center = platform::foundation::NotificationCenter::defaultCenter();
    auto noEndFrame = platform::foundation::Dictionary::make({ { Keyboard::frameBeginUserInfoKey,
        platform::foundation::Dictionary::make({ { "x", 0 }, { "y", 568 } }) } });
    for (const auto& userInfo : { platform::foundation::DictionaryRef(), noEndFrame }) {
        EXPECT_NO_THROW(center.post(Keyboard::didShowNotification, nullptr, userInfo));
        EXPECT_EQ(scroll->keyboardFrame(), Rect::zero());
        EXPECT_EQ(scroll->contentOffset(), (Point { 0, 0 }));
    }
}

}
}
