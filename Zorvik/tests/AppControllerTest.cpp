#include "Zorvik/Controllers/AppController.h"
#include "Zorvik/DeviceStorage/DeviceSettingsStore.h"
#include "Zorvik/DeviceStorage/FileStore.h"
#include "Zorvik/ViewControllers/NoHistoryNavigationController.h"
#include "Zorvik/ViewControllers/PinViewController/LoginWithPinViewController.h"
#include "Zorvik/tests/DeviceStorageFixture.h"
#include "Zorvik/Views/Nibs/Nibs.h"
#include "platform/foundation/Clock.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "testing/StoreLock.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::Date;
using platform::ui::ViewController;

/// A screen of some earlier moment, named so that the stack reads plainly.
class EarlierScreen : public ViewController {
public:
    std::string className() const override { return "EarlierScreen"; }
};

/// A device of its own for one case of a table: a fresh home folder while it lives.
class FreshDevice {
public:
    FreshDevice()
    {
        platform::foundation::Files::setHomeDirectory(m_home.path());
        DeviceSettingsStore::resetSharedStore();
    }
    ~FreshDevice()
    {
        DeviceSettingsStore::resetSharedStore();
        platform::foundation::Files::setHomeDirectory({});
    }
    FreshDevice(const FreshDevice&) = delete;
    FreshDevice& operator=(const FreshDevice&) = delete;

private:
    ::testing::TemporaryDirectory m_home;
};

class AppControllerTest : public DeviceStorageTest {
protected:
    void SetUp() override
    {
        DeviceStorageTest::SetUp();
        registerNibs();
        ViewController::setRootViewController(*window, navigation);
        window->makeKeyAndVisible();
    }

    void TearDown() override
    {
        ViewController::setRootViewController(*window, nullptr);
        DeviceStorageTest::TearDown();
    }

    /// The device as the app left it: the "user" file (when given), the time the app went to the background
    /// `secondsAway` before now (never when nullopt), and `screens` on the stack.
    void leaveDevice(std::optional<std::string> user, std::optional<double> secondsAway, int screens)
    {
        if (user)
            FileStore {}.saveToFile("user", *user);
        auto& store = DeviceSettingsStore::sharedStore();
        auto settings = store.createDeviceSettings();
        if (secondsAway)
            settings.setTimeAppWentToBackground(platform::foundation::now().addingSeconds(-*secondsAway));
        store.updateStore();
        std::vector<std::shared_ptr<ViewController>> stack;
        for (int i = 0; i < screens; ++i)
            stack.push_back(std::make_shared<EarlierScreen>());
        navigation->setViewControllers(stack, false);
    }

    std::vector<std::string> stackNames() const
    {
        std::vector<std::string> names;
        for (const auto& screen : navigation->viewControllers())
            names.push_back(screen->className());
        return names;
    }

    platform::ui::ScopedMainScreen screen { platform::ui::Screen::size320x568 };
    std::shared_ptr<platform::ui::Window> window = std::make_shared<platform::ui::Window>();
    std::shared_ptr<NoHistoryNavigationController> navigation
        = std::make_shared<NoHistoryNavigationController>();
    AppController controller { FileStore {}, navigation };
};

TEST_F(AppControllerTest, ChoosesTheScreenByTheUserFileTheStackAndTheTimeAway)
{
    const std::vector<std::string> start { "StartSignupViewController" };
    const std::vector<std::string> pin { "LoginWithPinViewController" };
    const std::vector<std::string> kept { "EarlierScreen", "EarlierScreen" };
    struct Case {
        const char* what;
        std::optional<std::string> user;
        std::optional<double> secondsAway;
        int screens;
        std::vector<std::string> stack;
    };
    const std::vector<Case> cases {
        { "first launch on a fresh device", std::nullopt, std::nullopt, 0, start },
        { "sign-up under way, long away: the screens stay", std::nullopt, 3600, 2, kept },
        { "sign-up under way, clock set back: the screens stay", std::nullopt, -120, 2, kept },
        { "launch with a user: the stack is empty", "ann@example.com", 0, 0, pin },
        { "launch with a user who never left", "ann@example.com", std::nullopt, 0, pin },
        { "five minutes away", "ann@example.com", 300, 2, kept },
        { "10 minutes 59 seconds away", "ann@example.com", 659, 2, kept },
        { "exactly 11 minutes away", "ann@example.com", 660, 2, pin },
        { "a day away", "ann@example.com", 86400, 2, pin },
        { "never went to the background", "ann@example.com", std::nullopt, 2, kept },
        { "clock set back a second", "ann@example.com", -1, 2, pin },
        { "clock set back a day", "ann@example.com", -86400, 2, pin },
        { "an empty user file is no user", "", std::nullopt, 0, start },
        { "a blank user file is no user", " \n", 3600, 2, kept },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FreshDevice device;
        leaveDevice(c.user, c.secondsAway, c.screens);
        controller.setIsStarted(false);

        controller.start();

        EXPECT_TRUE(controller.isStarted());
        EXPECT_EQ(stackNames(), c.stack);
        EXPECT_FALSE(navigation->isInTransition()) << "screens change without animation";
        if (c.stack == pin) {
            auto login
                = std::dynamic_pointer_cast<LoginWithPinViewController>(navigation->topViewController());
            ASSERT_NE(login, nullptr);
            EXPECT_EQ(login->username(), "ann@example.com");
            EXPECT_FALSE(login->showBackButton());
        }
    }
}

TEST_F(AppControllerTest, PinLogInDismissesWhatTheScreensPresent)
{
    leaveDevice("ann@example.com", 660, 1);
    auto earlier = navigation->topViewController();
    auto presented = std::make_shared<ViewController>();
    earlier->presentViewController(presented, false);
    ASSERT_EQ(earlier->presentedViewController(), presented);

    controller.start();

    EXPECT_EQ(navigation->presentedViewController(), nullptr);
    EXPECT_EQ(stackNames(), (std::vector<std::string> { "LoginWithPinViewController" }));
}

TEST_F(AppControllerTest, RunsOnlyOnceUntilTheAppGoesToTheBackground)
{
    leaveDevice("ann@example.com", 3600, 1);
    controller.start();
    auto login = navigation->topViewController();

    controller.start();
    EXPECT_EQ(navigation->viewControllers().size(), 1u);
    EXPECT_EQ(navigation->topViewController(), login) << "a second activation leaves the screen";

    controller.setIsStarted(false);
    controller.start();
    EXPECT_NE(navigation->topViewController(), login) << "still long away: a new PIN log-in screen";
    EXPECT_EQ(stackNames(), (std::vector<std::string> { "LoginWithPinViewController" }));
}
TEST_F(AppControllerTest, DeviceSettingsThatCannotBeReadAskForThePin)
{
    leaveDevice("ann@example.com", 60, 2);
    DeviceSettingsStore::resetSharedStore();
    ::testing::StoreLock otherProgram(*DeviceSettingsStore::itemArchivePath());
    ASSERT_TRUE(otherProgram.isHeld());

    controller.start();

    EXPECT_EQ(stackNames(), (std::vector<std::string> { "LoginWithPinViewController" }))
        << "a minute away, but the time away cannot be read";
}

}
}
