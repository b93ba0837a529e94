#include "Zorvik/ViewControllers/ProfileForms/BankAccountViewController.h"
#include "Zorvik/ViewControllers/ProfileForms/CompanyProfileViewController.h"
#include "Zorvik/ViewControllers/ProfileForms/VATRegistrationViewController.h"
#include "Zorvik/tests/ProfileFormFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <tuple>

namespace zorvik::test {
namespace {

using ::testing::HasSubstr;

class ProfileFormOutcomesTest;

/// One of the three forms: how to open it and make a valid change, where it saves, and what it says when
/// the save fails.
struct Form {
    const char* name;
    const char* route;
    const char* message;
    /// Opens the form's screen on the fixture and edits it; returns the texts the edit leaves on screen.
    std::function<std::vector<std::string>(ProfileFormOutcomesTest&)> openAndEdit;
    /// The live record the form saves to.
    std::function<platform::foundation::DictionaryRef(ProfileFormOutcomesTest&)> record;
};

/// How the back-end fails a save.
enum class Failure { NotFound, AlreadyExists, ServerError, Dropped, TimedOut };

std::string describe(Failure failure)
{
    switch (failure) {
    case Failure::NotFound:
        return "NotFound";
    case Failure::AlreadyExists:
        return "AlreadyExists";
    case Failure::ServerError:
        return "ServerError";
    case Failure::Dropped:
        return "Dropped";
    case Failure::TimedOut:
        return "TimedOut";
    }
    return "";
}

void PrintTo(Failure failure, std::ostream* out)
{
    *out << describe(failure);
}

class ProfileFormOutcomesTest : public ProfileFormTest,
                                public ::testing::WithParamInterface<std::tuple<int, Failure>> {
public:
    /// The form of the test's first parameter.
    static const Form& formAt(int index);

protected:
    /// Makes the back-end fail the form's next save as `failure` says.
    void fail(const Form& shown, Failure failure)
    {
        switch (failure) {
        case Failure::NotFound:
            backend().failRoute("PUT", shown.route, 404);
            break;
        case Failure::AlreadyExists:
            backend().failRoute("PUT", shown.route, 422);
            break;
        case Failure::ServerError:
            backend().failRoute("PUT", shown.route, 500);
            break;
        case Failure::Dropped:
            backend().dropRoute("PUT", shown.route);
            break;
        case Failure::TimedOut:
            setRequestTimeout(0.2);
            backend().delayRoute("PUT", shown.route, 1);
            break;
        }
    }
};

const Form& ProfileFormOutcomesTest::formAt(int index)
{
    static const Form forms[] = {
        { "Bank", "/api/freelancers/:f/business/:b/bank-account",
            "There was a problem updating your bank account information.",
            [](ProfileFormOutcomesTest& test) -> std::vector<std::string> {
                test.open<BankAccountViewController>();
                test.tap("8 digits");
                test.driver.type("12345678");
                test.tap("00-00-00");
                test.driver.type("654321");
                return { "12345678", "65-43-21" };
            },
            [](ProfileFormOutcomesTest& test) { return test.bankAccount().record(); } },
        { "VAT", "/api/freelancers/:f/business/:b/vat-registration", "We couldn't save your VAT info",
            [](ProfileFormOutcomesTest& test) -> std::vector<std::string> {
                test.open<VATRegistrationViewController>();
                test.tap("VAT registration");
                test.driver.type("GB123456789");
                return { "GB123456789" };
            },
            [](ProfileFormOutcomesTest& test) { return test.vatRegistration().record(); } },
        { "Business", "/api/freelancers/:f/business",
            "There was a problem updating your business information.",
            [](ProfileFormOutcomesTest& test) -> std::vector<std::string> {
                test.open<CompanyProfileViewController>();
                test.tap("Copperfinch Ltd");
                test.driver.type(" Trading");
                return { "Copperfinch Ltd Trading" };
            },
            [](ProfileFormOutcomesTest& test) { return test.business().record(); } },
    };
    return forms[index];
}

TEST_P(ProfileFormOutcomesTest, AFailedSaveEndsTheSpinnerKeepsWhatWasTypedAndSaysWhy)
{
    const auto& [index, failure] = GetParam();
    const Form& shown = formAt(index);
    auto before = json(shown.record(*this));
    auto typed = shown.openAndEdit(*this);
    fail(shown, failure);

    ASSERT_TRUE(save()) << "the spinner stops";
    EXPECT_EQ(dialog(), std::string("Oops / ") + shown.message + " / Try again.");
    EXPECT_EQ(bar(), "cancel|save");
    EXPECT_TRUE(form->isEditing());
    EXPECT_EQ(json(shown.record(*this)), before) << "the live record is untouched";
    tap("Try again.");
    auto screen = driver.screen();
    for (const auto& text : typed)
        EXPECT_THAT(screen, HasSubstr("\"" + text + "\""));

    backend().clearHooks();
    setRequestTimeout(60);
    ASSERT_TRUE(save());
    EXPECT_EQ(dialog(), "") << "a second try succeeds";
    EXPECT_FALSE(form->isEditing());
    EXPECT_NE(json(shown.record(*this)), before) << "and reaches the live record";
}

INSTANTIATE_TEST_SUITE_P(EveryFormAndFailure, ProfileFormOutcomesTest,
    ::testing::Combine(::testing::Values(0, 1, 2),
        ::testing::Values(Failure::NotFound, Failure::AlreadyExists, Failure::ServerError, Failure::Dropped,
            Failure::TimedOut)),
    [](const auto& info) {
        return std::string(ProfileFormOutcomesTest::formAt(std::get<0>(info.param)).name)
            + describe(std::get<1>(info.param));
    });

}
}
