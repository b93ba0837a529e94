#include "Zorvik/ViewControllers/ProfileForms/BankAccountViewController.h"
#include "Zorvik/ViewControllers/ProfileForms/CompanyProfileViewController.h"
#include "Zorvik/ViewControllers/ProfileForms/VATRegistrationViewController.h"
#include "Zorvik/tests/ProfileFormFixture.h"
#include "ZorvikAPI/models/Freelancer.h"
#include "platform/ui/Screen.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using ::testing::HasSubstr;

struct Screen {
    const char* title;
    std::function<std::shared_ptr<platform::ui::ViewController>()> make;
    std::vector<std::string> shows;
};

const std::vector<Screen>& screens()
{
    static const std::vector<Screen> all {
        { "Bank account info", [] { return std::make_shared<BankAccountViewController>(); },
            { "\"Account number\"", "placeholder \"8 digits\"", "\"Sort code\"",
                "placeholder \"00-00-00\"" } },
        { "VAT info", [] { return std::make_shared<VATRegistrationViewController>(); },
            { "\"Registered for VAT\"", "off" } },
        { "Business info", [] { return std::make_shared<CompanyProfileViewController>(); },
            { "\"Copperfinch Ltd\"", "\"4 Mill Lane\"", "\"Weston\"", "\"Bath\"", "\"Somerset\"",
                "\"BA1 4AB\"", "\"09876543\"", "\"Postcode\"", "\"Company no.\"" } },
    };
    return all;
}

using ProfileScreensTest = ProfileFormTest;

TEST_F(ProfileScreensTest, EachScreenShowsItsTitleAndFieldsOnShortAndTallPhones)
{
    for (auto size : { platform::ui::Screen::size320x480, platform::ui::Screen::size375x667 }) {
        for (const Screen& screen : screens()) {
            SCOPED_TRACE(std::string(screen.title) + " on " + std::to_string(int(size.width)) + "x"
                + std::to_string(int(size.height)));
            useScreen(size);
            showScreens({ screen.make() });
            auto text = driver.screen();
            EXPECT_THAT(text, HasSubstr("\"" + std::string(screen.title) + "\""));
            for (const auto& shown : screen.shows)
                EXPECT_THAT(text, HasSubstr(shown));
            EXPECT_THAT(text, HasSubstr("done"));
        }
    }
}

TEST_F(ProfileScreensTest, AScreenOpenedWithoutItsRecordStopsTheProgramSayingWhy)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    business().record()->set("bank-account", platform::foundation::Value());
    EXPECT_DEATH(showScreens({ std::make_shared<BankAccountViewController>() }),
        "bank account screen needs the signed-in business's bank account");
    business().record()->set("vat-registration", platform::foundation::Value());
    EXPECT_DEATH(showScreens({ std::make_shared<VATRegistrationViewController>() }),
        "VAT screen needs the signed-in business's VAT registration");
    api::Freelancer::setLoggedInFreelancer(std::nullopt);
    EXPECT_DEATH(showScreens({ std::make_shared<CompanyProfileViewController>() }),
        "business info screen needs a signed-in freelancer with a business");
}

}
}
