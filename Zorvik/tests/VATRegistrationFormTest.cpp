#include "Zorvik/ViewControllers/ProfileForms/VATRegistrationViewController.h"
#include "Zorvik/Views/LineView/LineView.h"
#include "Zorvik/Views/VATRegistrationView/VATRegistrationView.h"
#include "Zorvik/tests/ProfileFormFixture.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/Switch.h"
#include "platform/ui/TextField.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace zorvik::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

class VATRegistrationFormTest : public ProfileFormTest {
protected:
    void SetUp() override
    {
        ProfileFormTest::SetUp();
        if (!HasFatalFailure())
            openForm();
    }

    void openForm()
    {
        open<VATRegistrationViewController>();
        view = std::dynamic_pointer_cast<VATRegistrationView>(form);
        ASSERT_TRUE(view);
    }

    /// What the form shows: "on GB123" or "off" (the number group hidden), and "keyboard" while the
    /// number is being edited.
    std::string shown() const
    {
        bool on = view->vatRegistrationSwitch()->isOn();
        auto field = view->registrationNumberTextField();
        bool numberShows = !field->isHidden() && !view->registrationNumberPrompt()->isHidden()
            && !view->registrationNumberLineView()->isHidden();
        bool numberHidden = field->isHidden() && view->registrationNumberPrompt()->isHidden()
            && view->registrationNumberLineView()->isHidden();
        std::string text = on ? "on" : "off";
        if (numberShows)
            text += " " + field->text();
        else if (!numberHidden)
            text += " (number group half shown)";
        if (field->isFirstResponder())
            text += " keyboard";
        return text;
    }

    std::shared_ptr<VATRegistrationView> view;
};

TEST_F(VATRegistrationFormTest, SwitchingOnFocusesTheNumberAndOffHidesButKeepsIt)
{
    EXPECT_EQ(shown(), "off");
    EXPECT_EQ(bar(), "BtnTealLessThan|done");
    tap("VAT registration");
    EXPECT_EQ(shown(), "on  keyboard") << "the keyboard opens on the number at once";
    EXPECT_TRUE(form->isEditing());
    EXPECT_EQ(bar(), "cancel|save");
    driver.type("GB123456789");
    EXPECT_EQ(view->registrationNumberTextField()->returnKeyType(), platform::ui::ReturnKeyType::Done);

    tap("VAT registration");
    EXPECT_EQ(shown(), "off");
    EXPECT_FALSE(platform::ui::Keyboard::shared().isVisible());
    EXPECT_THAT(driver.screen(), Not(HasSubstr("GB123456789")));
    ASSERT_TRUE(save()) << "nothing is checked while registration is off";
    EXPECT_THAT(puts(), ElementsAre(R"({"is_registered":false,"registration_number":"GB123456789"})"));
    EXPECT_FALSE(form->isEditing());

    tap("VAT registration");
    EXPECT_EQ(shown(), "on GB123456789 keyboard");
}

TEST_F(VATRegistrationFormTest, CancelRestoresTheSwitchAndTheNumberTogether)
{
    vatRegistration().record()->set("is_registered", true);
    vatRegistration().record()->set("registration_number", "GB999999973");
    openForm();
    EXPECT_EQ(shown(), "on GB999999973");
    tap("GB999999973");
    driver.deleteBackward(3);
    tap("VAT registration");
    EXPECT_EQ(shown(), "off");
    tap("cancel");
    EXPECT_EQ(shown(), "on GB999999973");
    EXPECT_FALSE(form->isEditing());

    tap("VAT registration");
    tap("cancel");
    EXPECT_EQ(shown(), "on GB999999973") << "toggling alone is undone too";
}

TEST_F(VATRegistrationFormTest, ASaveSendsABooleanAndTheNumberAndCancelReturnsToIt)
{
    auto record = vatRegistration().record();
    tap("VAT registration");
    driver.type("GB 123 4567 89");
    ASSERT_TRUE(save());
    EXPECT_EQ(dialog(), "");
    EXPECT_THAT(puts(), ElementsAre(R"({"is_registered":true,"registration_number":"GB 123 4567 89"})"));
    EXPECT_EQ(record->get("is_registered"), true) << "the live record has the answer";
    EXPECT_EQ(record->get("registration_number"), "GB 123 4567 89");
    EXPECT_EQ(bar(), "BtnTealLessThan|done");

    tap("VAT registration");
    tap("cancel");
    EXPECT_EQ(shown(), "on GB 123 4567 89") << "back to what was saved, not what was opened";
}

TEST_F(VATRegistrationFormTest, ANumberThatCannotBeRightIsExplainedWhileRegistered)
{
    struct Case {
        const char* number;
        const char* message;
    };
    for (const Case& c : { Case { "", "Enter your VAT number, or switch VAT registration off." },
             Case { "GB12345678",
                 "A VAT number has 9 digits (12 for a branch), with or without GB in front." } }) {
        SCOPED_TRACE(c.number);
        openForm();
        backend().clearRequests();
        tap("VAT registration");
        driver.type(c.number);
        ASSERT_TRUE(save());
        EXPECT_EQ(dialog(), std::string("Check your details / ") + c.message + " / OK");
        EXPECT_THAT(puts(), IsEmpty());
        EXPECT_TRUE(form->isEditing());
        EXPECT_EQ(shown(), std::string("on ") + c.number);
    }
}

}
}
