#include "kit/crash/Ember.h"

#include "kit/core/Cairn.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <string>

namespace kit {
namespace {

class EmberTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::foundation::Files::setHomeDirectory(m_home.path());
        platform::foundation::Log::setCapture([](const std::string&) {});
        Cairn::sharedSDK().reset();
        Ember::sharedInstance()->reset();
    }

    void TearDown() override
    {
        platform::foundation::Log::setCapture({});
        Cairn::sharedSDK().reset();
        Ember::sharedInstance()->reset();
        platform::foundation::Files::setHomeDirectory({});
    }

    ::testing::TemporaryDirectory m_home;
};

TEST_F(EmberTest, MakingOneAnswersTheProcesssKit)
{
    auto made = Ember::init();
    EXPECT_EQ(made, Ember::sharedInstance());
    EXPECT_EQ(Ember::init(), made);
    EXPECT_EQ(made->kitName(), "Ember");
    EXPECT_EQ(made->bundleIdentifier(), "com.cairn.ember.ios");
    EXPECT_EQ(made->kitDisplayVersion(), "3.7.0");
}

TEST_F(EmberTest, StartsThroughThePlatformOnlyWhenItHasAKey)
{
    Cairn::sharedSDK().setAPIKey("");
    Cairn::with({ Ember::init() });
    EXPECT_FALSE(Ember::sharedInstance()->isEmberStarted()) << "no API key: nothing starts";

    Cairn::sharedSDK().reset();
    Cairn::sharedSDK().setAPIKey("k-123");
    Cairn::with({ Ember::init() });
    EXPECT_TRUE(Ember::sharedInstance()->isEmberStarted());
    EXPECT_EQ(Cairn::sharedSDK().kitClasses().front()->name(), "Ember");
}

}
}
