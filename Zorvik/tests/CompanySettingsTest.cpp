#include "Zorvik/ViewControllers/CompanySettingsViewController.h"

#include "Zorvik/DeviceStorage/FileStore.h"
#include "Zorvik/DeviceStorage/UserStore.h"
#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/ViewControllers/Transitions/NavigationControllerAnimationDelegate.h"
#include "Zorvik/Views/CompanySettingsView/CompanySettingsView.h"
#include "Zorvik/Views/NavigationBar/NavigationBar.h"
#include "Zorvik/tests/SignedInFixture.h"
#include "ZorvikAPI/repositories/RESTRepositories/RESTRepository.h"
#include "ZorvikAPI/repositories/Repositories.h"
#include "platform/foundation/Date.h"
#include "platform/foundation/Json.h"
#include "platform/http/SessionManager.h"
#include "platform/ui/Application.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/LocalNotification.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

/// A signed-in phone with the settings menu open over a home screen, pushed as the folders screen pushes
/// it, with the app's transition delegate on the stack.
class CompanySettingsTest : public SignedInFixture {
protected:
    void SetUp() override
    {
        SignedInFixture::SetUp();
        if (HasFatalFailure())
            return;
        home = std::make_shared<platform::ui::ViewController>();
        navigation = showScreens({ home });
        navigation->setDelegate(animations);
        settings = std::make_shared<CompanySettingsViewController>();
        navigation->pushViewController(settings, true);
        wait(0.5);
    }

    void wait(double seconds)
    {
        driver.wait(seconds);
        layout();
    }

    /// The stack's screens, bottom first, by class name.
    std::vector<std::string> stack() const
    {
        std::vector<std::string> names;
        for (const auto& screen : navigation->viewControllers())
            names.push_back(screen->className());
        return names;
    }

    std::string token() const
    {
        auto repository = std::dynamic_pointer_cast<api::RESTRepository>(
            api::Repositories::sharedInstance().freelancersRepository());
        return repository->manager()->header("Authorization").value_or("");
    }

    std::shared_ptr<CompanySettingsView> menu() const
    {
        return std::dynamic_pointer_cast<CompanySettingsView>(settings->view());
    }

    std::shared_ptr<NavigationControllerAnimationDelegate> animations {
        std::make_shared<NavigationControllerAnimationDelegate>()
    };
    std::shared_ptr<platform::ui::ViewController> home;
    std::shared_ptr<NoHistoryNavigationController> navigation;
    std::shared_ptr<CompanySettingsViewController> settings;
};

TEST_F(CompanySettingsTest, EachRowPushesItsFormAndTheFormsDoneComesBack)
{
    struct Row {
        const char* title;
        const char* screen;
        const char* shows;
    };
    const Row rows[] = {
        { "Business info", "CompanyProfileViewController", "\"09876543\"" },
        { "VAT info", "VATRegistrationViewController", "\"Registered for VAT\"" },
        { "Bank account info", "BankAccountViewController", "\"Sort code\"" },
    };
    EXPECT_THAT(driver.screen(), HasSubstr("\"Copperfinch Ltd\""));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.title);
        tap(row.title);
        wait(0.5);
        EXPECT_EQ(stack(),
            (std::vector<std::string> { "ViewController", "CompanySettingsViewController", row.screen }));
        EXPECT_THAT(driver.screen(), HasSubstr(row.shows));
        tap("done");
        wait(0.5);
        EXPECT_EQ(stack(), (std::vector<std::string> { "ViewController", "CompanySettingsViewController" }));
    }
    tap("done");
    wait(0.5);
    EXPECT_EQ(stack(), std::vector<std::string> { "ViewController" });
}

TEST_F(CompanySettingsTest, CancellingTheQuestionLeavesTheUserSignedIn)
{
    tap("Log out");
    wait(0.5);
    auto text = driver.screen();
    EXPECT_THAT(text, HasSubstr("AlertController \"Are you sure?\" [action sheet]"));
    EXPECT_THAT(text, HasSubstr("actions: \"Log out\" \"Cancel\" (cancel)"));
    driver.pickAlertAction("Cancel");
    wait(0.5);
    EXPECT_EQ(FileStore {}.readFromFile("user"), kEmail);
    EXPECT_TRUE(UserStore::sharedStore().fetchActiveUser());
    EXPECT_NE(token(), "");
    EXPECT_TRUE(api::Freelancer::loggedInFreelancer());
    EXPECT_EQ(stack(), (std::vector<std::string> { "ViewController", "CompanySettingsViewController" }));
}

TEST_F(CompanySettingsTest, LoggingOutLeavesNothingOfTheUserAndFadesToTheStartScreenAlone)
{
    auto& app = platform::ui::Application::shared();
    app.scheduleLocalNotification(
        { platform::foundation::now().addingSeconds(3600), "Europe/London", "Invoice 1 is due", nullptr });
    app.setApplicationIconBadgeNumber(3);
    std::weak_ptr<CompanySettingsViewController> screen = settings;
    settings.reset();

    tap("Log out");
    wait(0.5);
    driver.pickAlertAction("Log out");
    // The sheet goes first; the new stack comes once it has gone.
    for (int step = 0; step < 20 && stack().size() != 1; ++step)
        wait(0.05);
    EXPECT_EQ(stack(), std::vector<std::string> { "StartSignupViewController" });
    wait(0.3);
    EXPECT_THAT(driver.screen(), HasSubstr("[in transition]")) << "the fade lasts 0.4 s";
    wait(0.15);
    EXPECT_THAT(driver.screen(), Not(HasSubstr("[in transition]")));

    EXPECT_EQ(stack(), std::vector<std::string> { "StartSignupViewController" });
    EXPECT_TRUE(screen.expired()) << "the settings screen is let go";
    EXPECT_EQ(FileStore {}.readFromFile("user"), std::nullopt);
    EXPECT_FALSE(UserStore::sharedStore().fetchActiveUser());
    EXPECT_TRUE(app.scheduledLocalNotifications().empty());
    EXPECT_EQ(app.applicationIconBadgeNumber(), 0);
    EXPECT_EQ(token(), "") << "no token goes with the next request";
    EXPECT_FALSE(api::Freelancer::loggedInFreelancer());
    EXPECT_THAT(driver.screen(), HasSubstr("Log in"));
}

TEST_F(CompanySettingsTest, LoggingOutWithTheUserFileAlreadyGoneStillSignsOut)
{
    FileStore {}.removeFile("user");
    tap("Log out");
    wait(0.5);
    driver.pickAlertAction("Log out");
    wait(0.5);
    EXPECT_FALSE(UserStore::sharedStore().fetchActiveUser());
    EXPECT_EQ(stack(), std::vector<std::string> { "StartSignupViewController" });
}

TEST_F(CompanySettingsTest, TheFolderOpensOnlyForAWebAddressAndOtherwiseTheUserIsTold)
{
    struct Case {
        platform::foundation::Value link;
        std::vector<std::string> opened;
    };
    const Case cases[] = {
        { "https://files.example/s/copperfinch", { "https://files.example/s/copperfinch" } },
        { "HTTP://files.example/s/x", { "HTTP://files.example/s/x" } },
        { platform::foundation::Value(), {} },
        { "", {} },
        { "javascript:alert(1)", {} },
        { "file:///etc/passwd", {} },
        { "tel://0800", {} },
        { "http://", {} },
        { "files.example/s/x", {} },
    };
    auto& app = platform::ui::Application::shared();
    for (const Case& c : cases) {
        SCOPED_TRACE(platform::foundation::toJson(c.link));
        auto before = app.openedURLs().size();
        business().record()->set("shared_link", c.link);
        tap("Invoice folder");
        EXPECT_EQ(
            std::vector<std::string>(app.openedURLs().begin() + before, app.openedURLs().end()), c.opened);
        bool told = driver.screen().find("\"No invoice folder\"") != std::string::npos;
        EXPECT_EQ(told, c.opened.empty()) << "a tap that opens nothing says why";
        if (told)
            tap("OK");
    }
}

TEST_F(CompanySettingsTest, TheBarHasOnlyDoneAndTurnsBlackForGoodOnceALogoShows)
{
    auto bar = menu()->navigationBar();
    EXPECT_TRUE(bar->negativeButton()->isHidden());
    EXPECT_EQ(bar->titleLabel()->textColor(), platform::ui::Color::white());
    EXPECT_EQ(settings->preferredStatusBarStyle(), platform::ui::StatusBarStyle::LightContent);

    menu()->showViewWithLogo(image("IconDownChevron"));
    EXPECT_EQ(bar->titleLabel()->textColor(), platform::ui::Color::black());
    EXPECT_EQ(settings->preferredStatusBarStyle(), platform::ui::StatusBarStyle::Default);
    EXPECT_THAT(driver.screen(), HasSubstr("done"));
    menu()->showViewForAddingLogo();
    EXPECT_EQ(bar->titleLabel()->textColor(), platform::ui::Color::black());
}

TEST_F(CompanySettingsTest, AMenuWithoutItsActionsObjectDoesNothing)
{
    auto lone = CompanySettingsView::make(business().record());
    lone->showCompany();
    lone->showDropbox();
    lone->positivePressed();
    lone->showLogOutDialogue();
    EXPECT_EQ(stack(), (std::vector<std::string> { "ViewController", "CompanySettingsViewController" }));
    EXPECT_TRUE(platform::ui::Application::shared().openedURLs().empty());
}

}
}
