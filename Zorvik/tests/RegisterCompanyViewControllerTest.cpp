#include "Zorvik/Controllers/CompanySummaryControllers/CompanySearchViewTableDatasource.h"
#include "Zorvik/ViewControllers/CompanySummaryViewControllers/SignupWithCompanyViewController.h"
#include "Zorvik/ViewControllers/SearchCompaniesViewControllers/RegisterCompanyViewController.h"
#include "Zorvik/Views/SearchView/EditableSearchView.h"
#include "Zorvik/Views/SearchView/EmptySearchResultsView.h"
#include "Zorvik/Views/SearchView/SearchStatusTableCell.h"
#include "Zorvik/Views/SearchView/SearchViewColourScheme.h"
#include "Zorvik/Views/LoadingView/LoadingView.h"
#include "Zorvik/tests/OnboardingFixture.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Keyboard.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::Array;
using platform::foundation::Dictionary;
using platform::foundation::toJson;
using ::testing::HasSubstr;
using ::testing::Not;

/// The screen under the company search, as the create-PIN screen is on the sign-up road.
class BelowScreen : public platform::ui::ViewController {
public:
    std::string className() const override { return "BelowScreen"; }
};

/// The company search of sign-up over a register of two hits: one with a registration number, one without.
class RegisterCompanyViewControllerTest : public OnboardingTest {
protected:
    void SetUp() override
    {
        OnboardingTest::SetUp();
        backend().setCompanies(Array::make({
            Dictionary::make({ { "companyName", "Copperfinch Software Ltd" },
                { "registrationNumber", "10384756" }, { "addressLine1", "Studio 9" },
                { "postTown", "London" }, { "postCode", "E2 8NP" }, { "country", "England" } }),
            Dictionary::make({ { "companyName", "Copperfinch Trading" }, { "registrationNumber", "" },
                { "postTown", "Leeds" } }),
        }));
        open();
    }

    /// A stack of the screen below and, pushed over it as after the PIN's confirmation, a new search.
    void open()
    {
        navigation->setViewControllers({ std::make_shared<BelowScreen>() }, false);
        settle();
        search = std::make_shared<RegisterCompanyViewController>("new@zorvik.test", "2468");
        navigation->pushViewController(search, true);
        settle();
    }

    /// Runs a step: a screen driver command, or "answer" (the delay passes and the register answers).
    void step(const std::string& line)
    {
        if (line != "answer") {
            driver.execute(line);
            return;
        }
        driver.wait(SearchView::searchDelay);
        ASSERT_TRUE(waitUntil([this] { return search->editableSearchView()->loadingView()->isHidden(); }));
    }

    /// Whether the keyboard is up typing into the search field.
    bool keyboardOnTheField() const
    {
        auto& keyboard = platform::ui::Keyboard::shared();
        return keyboard.isVisible()
            && keyboard.responder() == search->editableSearchView()->searchTextField();
    }

    std::shared_ptr<RegisterCompanyViewController> search;
};

TEST_F(RegisterCompanyViewControllerTest, EachPickLeadsToItsScreenWithTheCredentialsAndTheBusiness)
{
    struct Case {
        const char* name;
        std::vector<std::string> steps;
        std::string top;
        std::string business;
    } cases[] = {
        { "a typed name becomes a business of that name only", { "type Acme Widgets", "tap done" },
            "ConfirmBusinessViewController", R"({"name":"Acme Widgets"})" },
        { "a hit with a registration number is summarised", { "type copperfinch", "answer",
            "tap Copperfinch Software Ltd" },
            "SignupWithCompanyViewController",
            R"({"address_line_1":"Studio 9","address_line_2":"","country":"England","county":"",)"
            R"("name":"Copperfinch Software Ltd","post_code":"E2 8NP","registration_number":"10384756",)"
            R"("town":"London"})" },
        { "a hit without one is confirmed as a typed name is",
            { "type copperfinch", "answer", "tap Copperfinch Trading" }, "ConfirmBusinessViewController",
            R"({"address_line_1":"","address_line_2":"","country":"","county":"",)"
            R"("name":"Copperfinch Trading","post_code":"","registration_number":"","town":"Leeds"})" },
        { "the status row is nothing to pick", { "type zzyzx", "answer", "wait 0.5",
            "tap No matching companies found." },
            "RegisterCompanyViewController", "" },
        { "back pops the search", { "tap BtnLessThanWhite" }, "BelowScreen", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        open();
        for (const auto& line : c.steps) {
            step(line);
            if (HasFatalFailure())
                return;
        }
        settle();
        ASSERT_EQ(top()->className(), c.top) << driver.screen();
        EXPECT_FALSE(navigation->isInTransition());
        if (auto next = top<SignupWithCompanyViewController>()) {
            EXPECT_EQ(toJson(next->credentials()), R"({"email":"new@zorvik.test","password":"2468"})");
            EXPECT_EQ(toJson(next->business()), c.business);
            EXPECT_EQ(navigation->viewControllers().size(), 3u) << "pushed over the search";
        }
        EXPECT_THAT(everythingOnTheDevice(), Not(HasSubstr("2468"))) << "the PIN stays in memory";
    }
}

TEST_F(RegisterCompanyViewControllerTest, TheSearchComesUpDarkWithTheKeyboardOnItsField)
{
    EXPECT_TRUE(keyboardOnTheField()) << driver.screen();
    auto view = search->editableSearchView();
    EXPECT_EQ(view->title(), "Your business name");
    EXPECT_EQ(view->searchTextField()->placeholder(), "your business name");
    auto empty = std::dynamic_pointer_cast<EmptySearchResultsView>(view->datasource()->emptyView());
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->label()->text(), "We will search our database.");
    auto scheme = search->colourScheme()->emptyViewColourScheme();
    EXPECT_EQ(empty->label()->textColor(), scheme->textColour());
    EXPECT_EQ(top()->preferredStatusBarStyle(), platform::ui::StatusBarStyle::LightContent);

    step("type copperfinch");
    step("answer");
    EXPECT_TRUE(keyboardOnTheField()) << "the keyboard stays while the hits come in";
}

TEST_F(RegisterCompanyViewControllerTest, AnItemThatIsNeitherANameNorABusinessIsIgnored)
{
    search->searchItemSelected(AddressBookContact("Ann", "Lee", "ann@example.com"));
    search->searchItemSelected(platform::foundation::DictionaryRef {});
    settle();
    EXPECT_EQ(top(), search);
    EXPECT_EQ(navigation->viewControllers().size(), 2u);
}

}
}
