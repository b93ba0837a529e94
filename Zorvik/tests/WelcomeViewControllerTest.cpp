#include "Zorvik/ViewControllers/WelcomeViewController.h"
#include "Zorvik/Events/AnalyticsEvents.h"
#include "Zorvik/ViewControllers/FoldersViewController/FoldersViewControllerObjc.h"
#include "Zorvik/tests/OnboardingFixture.h"
#include "ZorvikAPI/models/Freelancer.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/NotificationCenter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zorvik::test {
namespace {

using platform::foundation::NotificationCenter;

class WelcomeViewControllerTest : public OnboardingTest { };

TEST_F(WelcomeViewControllerTest, ItRecordsTheSignUpOnceItsViewLoadsAndLeadsToTheFolders)
{
    auto ann = signUp("ann@zorvik.test");
    std::vector<platform::foundation::DictionaryRef> posted;
    auto token = NotificationCenter::defaultCenter().addObserver(AnalyticsEvents::analyticsSignedUp, nullptr,
        [&](const platform::foundation::Notification& notification) {
            posted.push_back(notification.userInfo);
        });

    show(std::make_shared<WelcomeViewController>());
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted.front()->size(), 1u) << "one key only";
    EXPECT_EQ(posted.front()->get("username").string() ? *posted.front()->get("username").string() : "",
        "ann@zorvik.test");

    driver.tap("Get started");
    EXPECT_FALSE(navigation->isInTransition()) << "pushed without animation";
    auto folders = top<FoldersViewControllerObjc>();
    ASSERT_TRUE(folders);
    EXPECT_EQ(folders->freelancer()->record(), ann.record());
    EXPECT_EQ(stack(), (std::vector<std::string> { "WelcomeViewController", "FoldersViewControllerObjc" }));
}

}
}
