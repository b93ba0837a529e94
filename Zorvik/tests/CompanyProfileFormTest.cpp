#include "Zorvik/Controllers/TabOrderController/TabOrderObjc.h"
#include "Zorvik/ViewControllers/ProfileForms/CompanyProfileViewController.h"
#include "Zorvik/Views/CompanyProfileView/CompanyProfileView.h"
#include "Zorvik/tests/ProfileFormFixture.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/TextField.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace zorvik::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class CompanyProfileFormTest : public ProfileFormTest {
protected:
    void SetUp() override
    {
        ProfileFormTest::SetUp();
        if (!HasFatalFailure())
            openForm();
    }

    void openForm()
    {
        open<CompanyProfileViewController>();
        view = std::dynamic_pointer_cast<CompanyProfileView>(form);
        ASSERT_TRUE(view);
    }

    /// The seven fields in focus order, joined by "|".
    std::string fields() const
    {
        std::string text;
        for (const auto& field : { view->companyName(), view->addressLn1(), view->addressLn2(), view->town(),
                 view->county(), view->postCode(), view->registrationNumber() })
            text += (text.empty() ? "" : "|") + field->text();
        return text;
    }

    std::shared_ptr<CompanyProfileView> view;
};

TEST_F(CompanyProfileFormTest, ASaveSendsTheEightKeysWithTheStoredCountry)
{
    EXPECT_EQ(fields(), "Copperfinch Ltd|4 Mill Lane|Weston|Bath|Somerset|BA1 4AB|09876543");
    auto vat = vatRegistration().record();
    tap("Weston");
    driver.deleteBackward(6);
    tap("Bath");
    driver.type("ampton");
    ASSERT_TRUE(save());

    EXPECT_THAT(puts(),
        ElementsAre(R"({"address_line_1":"4 Mill Lane","address_line_2":"","country":"United Kingdom",)"
                    R"("county":"Somerset","name":"Copperfinch Ltd","post_code":"BA1 4AB",)"
                    R"("registration_number":"09876543","town":"Bathampton"})"));
    EXPECT_EQ(business().town(), "Bathampton") << "every screen reading the business sees the save";
    EXPECT_EQ(business().addressLine2(), "");
    EXPECT_EQ(business().country(), "United Kingdom");
    EXPECT_EQ(business().vatRegistration()->record(), vat) << "its child records stay the live ones";
    EXPECT_FALSE(form->isEditing());

    tap("Bathampton");
    driver.type(" Spa");
    tap("cancel");
    EXPECT_EQ(fields(), "Copperfinch Ltd|4 Mill Lane||Bathampton|Somerset|BA1 4AB|09876543");
}

TEST_F(CompanyProfileFormTest, ABusinessWithoutCountryOrAddressSendsEmptyStrings)
{
    for (const char* key : { "country", "address_line_2", "county", "registration_number" })
        business().record()->set(key, platform::foundation::Value());
    openForm();
    EXPECT_EQ(fields(), "Copperfinch Ltd|4 Mill Lane||Bath||BA1 4AB|");
    tap("Copperfinch Ltd");
    driver.type(" UK");
    ASSERT_TRUE(save());
    EXPECT_THAT(puts(),
        ElementsAre(R"({"address_line_1":"4 Mill Lane","address_line_2":"","country":"",)"
                    R"("county":"","name":"Copperfinch Ltd UK","post_code":"BA1 4AB",)"
                    R"("registration_number":"","town":"Bath"})"));
}

TEST_F(CompanyProfileFormTest, ABlankNameIsExplainedAndNothingIsSent)
{
    tap("Copperfinch Ltd");
    driver.deleteBackward(15);
    driver.type("  ");
    ASSERT_TRUE(save());
    EXPECT_EQ(dialog(), "Check your details / Your business needs a name. / OK");
    EXPECT_THAT(puts(), IsEmpty());
    EXPECT_TRUE(form->isEditing());
    EXPECT_EQ(business().name(), "Copperfinch Ltd");
}

TEST_F(CompanyProfileFormTest, ReturnWalksEveryFieldToTheLast)
{
    tap("Copperfinch Ltd");
    std::vector<std::string> visited;
    while (auto field = std::dynamic_pointer_cast<platform::ui::TextField>(form->tabOrder()->current())) {
        visited.push_back(field->text());
        EXPECT_EQ(field->returnKeyType(),
            field == view->registrationNumber() ? platform::ui::ReturnKeyType::Done
                                                : platform::ui::ReturnKeyType::Next);
        driver.pressReturn();
    }
    EXPECT_THAT(visited,
        ElementsAre("Copperfinch Ltd", "4 Mill Lane", "Weston", "Bath", "Somerset", "BA1 4AB", "09876543"));
    EXPECT_FALSE(platform::ui::Keyboard::shared().isVisible());
}

}
}
