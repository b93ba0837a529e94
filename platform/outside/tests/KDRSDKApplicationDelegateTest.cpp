#include "platform/outside/KDRSDKApplicationDelegate.h"
#include "platform/outside/KDRSDKAppEvents.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

#include <vector>

namespace platform::outside {
namespace {

using foundation::Date;
using foundation::Dictionary;

class KDRSDKTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        KDRSDKApplicationDelegate::sharedInstance().reset();
        KDRSDKAppEvents::reset();
    }

    void TearDown() override
    {
        KDRSDKApplicationDelegate::sharedInstance().reset();
        KDRSDKAppEvents::reset();
    }
};

TEST_F(KDRSDKTest, RecordsEachCallInOrderAndAnswersAsTold)
{
    auto& sdk = KDRSDKApplicationDelegate::sharedInstance();
    std::vector<std::size_t> seenBeforeAnswer;
    sdk.setCallObserver([&](const KDRSDKCall&) { seenBeforeAnswer.push_back(sdk.calls().size()); });
    auto options = Dictionary::make({ { "url", "kdr123://open" } });

    EXPECT_TRUE(sdk.didFinishLaunching(options));
    EXPECT_FALSE(sdk.openURL("kdr123://authorize", "com.kindred.app", "note"));
    sdk.setLaunchAnswer(false);
    sdk.setOpenURLAnswer(true);
    EXPECT_FALSE(sdk.didFinishLaunching(nullptr));
    EXPECT_TRUE(sdk.openURL("zorvik://x", std::nullopt, {}));

    auto calls = sdk.calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].kind, KDRSDKCall::Kind::DidFinishLaunching);
    EXPECT_EQ(calls[0].launchOptions, options);
    EXPECT_EQ(calls[1].kind, KDRSDKCall::Kind::OpenURL);
    EXPECT_EQ(calls[1].url, "kdr123://authorize");
    EXPECT_EQ(calls[1].sourceApplication, "com.kindred.app");
    EXPECT_EQ(calls[1].annotation, "note");
    EXPECT_EQ(calls[2].launchOptions, nullptr);
    EXPECT_EQ(calls[3].sourceApplication, std::nullopt);
    EXPECT_EQ(seenBeforeAnswer, (std::vector<std::size_t> { 1, 2, 3, 4 })) << "the observer hears each call";
}

TEST_F(KDRSDKTest, ActivationsAreRecordedWithTheClocksTime)
{
    KDRSDKAppEvents::activateApp();
    foundation::mainQueue().advance(90);
    KDRSDKAppEvents::activateApp();

    EXPECT_EQ(KDRSDKAppEvents::activations(),
        (std::vector<Date> {
            foundation::Clock::kVirtualStart, foundation::Clock::kVirtualStart.addingSeconds(90) }));
}

}
}
