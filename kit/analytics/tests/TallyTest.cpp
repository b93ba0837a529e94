#include "kit/analytics/Tally.h"

#include "kit/analytics/EMBAnalyticsController.h"
#include "kit/analytics/tests/EventLogLines.h"
#include "kit/core/CRNKitRegistry.h"
#include "kit/core/Cairn.h"
#include "kit/core/tests/KitAppFixture.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <thread>

namespace kit {
namespace {

namespace fs = std::filesystem;
using platform::foundation::Date;
using platform::foundation::Dictionary;
using test::keys;

// A crash kit that counts the platform's start hook.
class CountingCrashKit : public Kit {
public:
    std::string kitName() const override { return "Ember"; }
    std::string bundleIdentifier() const override { return "com.cairn.ember.ios"; }
    std::string kitDisplayVersion() const override { return "3.7.0"; }
    void initializeIfNeeded() override { ++starts; }

    int starts { 0 };
};

// An app on a fresh device whose launches start analytics through the facade; each launch is a new execution
// of the kit platform.
class TallyTest : public test::KitAppFixture {
protected:
    void SetUp() override
    {
        KitAppFixture::SetUp();
        newLaunch();
    }
    void TearDown() override
    {
        CRNKitRegistry::shared().unregisterClass("Ember");
        tally().reset();
        Cairn::sharedSDK().reset();
        KitAppFixture::TearDown();
    }

    /// Ends the launch's analytics and begins a new execution of the platform.
    static void newLaunch()
    {
        tally().reset();
        Cairn::sharedSDK().reset();
        Cairn::sharedSDK().setAPIKey(testing::KitService::acceptedAPIKey());
    }

    static Tally& tally() { return *Tally::sharedInstance(); }

    /// The lines of every `name` log file of the store once the controller's work has run.
    static std::vector<test::EventLogLine> stored(std::string_view name)
    {
        if (auto controller = tally().analyticsController())
            controller->waitUntilIdle();
        return test::activeEventLogLines(*Tally::analyticsRootDirectory(), name);
    }
};

TEST_F(TallyTest, ItsClassIsRegisteredWithThePlatformWhenTheProgramLoads)
{
    auto kitClass = CRNKitRegistry::shared().classNamed("Tally");
    ASSERT_NE(kitClass, nullptr);
    EXPECT_TRUE(kitClass->conformsToKitProtocol());
    EXPECT_EQ(kitClass->kit(), Tally::sharedInstance());
    EXPECT_EQ(kitClass->kit()->bundleIdentifier(), "com.cairn.tally.ios");
    EXPECT_EQ(kitClass->kit()->kitDisplayVersion(), "1.2.0");
}

TEST_F(TallyTest, ThePlatformsHookStartsAnalyticsAloneAndLeavesTheStartToACrashKit)
{
    tally().initializeIfNeeded();
    auto controller = tally().analyticsController();
    ASSERT_NE(controller, nullptr) << "no crash kit: analytics starts itself";
    EXPECT_EQ(controller->sessionIdentifier(), Cairn::sharedSDK().executionIdentifier());
    EXPECT_EQ(Tally::analyticsRootDirectory(),
        m_home.path() / "Library" / "Caches" / "com.ember.data" / "com.zorvik.Zorvik" / "analytics");
    EXPECT_EQ(keys(stored("0.log")), (std::vector<std::string> { "metadata", "app_installed" }));
    EXPECT_EQ(keys(stored("1.log")), (std::vector<std::string> { "metadata", "app_launched" }));

    newLaunch();
    auto crashKit = std::make_shared<CountingCrashKit>();
    CRNKitRegistry::shared().registerClass(CRNKitClass::kitClass(crashKit));
    tally().initializeIfNeeded();
    EXPECT_EQ(crashKit->starts, 1);
    EXPECT_EQ(tally().analyticsController(), nullptr) << "the crash kit starts analytics itself";
}

TEST_F(TallyTest, StartsOnceHoweverManyThreadsStartItAndWithWhateverToken)
{
    constexpr int kThreads { 8 };
    std::vector<std::shared_ptr<EMBAnalyticsController>> seen(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i)
        threads.emplace_back([&seen, i] {
            Tally::startWithBetaToken(
                i % 2 ? std::optional<std::string>("2:beta-" + std::to_string(i)) : std::nullopt);
            seen[static_cast<std::size_t>(i)] = tally().analyticsController();
        });
    for (auto& thread : threads)
        thread.join();

    auto controller = tally().analyticsController();
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(std::set(seen.begin(), seen.end()).size(), 1u) << "each caller returned after the one start";
    EXPECT_EQ(seen[0], controller);
    Tally::startWithBetaToken("2:later");
    EXPECT_EQ(tally().analyticsController(), controller);
    EXPECT_EQ(keys(stored("1.log")), (std::vector<std::string> { "metadata", "app_launched" }))
        << "one launch logged";
    EXPECT_EQ(test::filesBelow(*Tally::analyticsRootDirectory() / "v1" / "ACTIVE").size(), 2u)
        << "one session with one fragment: 0.log and 1.log";
}

TEST_F(TallyTest, EventsReachTheStoreOnlyOnceStartedAndWithWhatTheyHadWhenLogged)
{
    Tally::logCustomEventWithName("too early", nullptr);
    Tally::logSearchWithQuery("too early", nullptr);
    Tally::logPreviousSessionCrashedOnDate(Date { 1 });
    EXPECT_FALSE(Tally::analyticsRootDirectory() && fs::exists(*Tally::analyticsRootDirectory()));

    Tally::startWithBetaToken(std::nullopt);
    auto attributes = Dictionary::make({ { "screen", "invoice" } });
    Tally::logCustomEventWithName("opened", attributes);
    attributes->set("screen", "changed later");
    Tally::logPurchaseWithPrice(platform::foundation::DecimalNumber::fromString("0.5"), "GBP", true, "Pro",
        "subscription", "pro-1", nullptr);
    Tally::logPredefinedEvent(nullptr);

    auto lines = stored("2.log");
    ASSERT_EQ(keys(lines), (std::vector<std::string> { "metadata", "custom", "predefined" }));
    auto custom = lines[1].json().dictionary();
    EXPECT_EQ(custom->get("custom_type").stringValue(), "opened");
    EXPECT_EQ(custom->get("custom_attributes").dictionary()->get("screen").stringValue(), "invoice");
    auto purchase = lines[2].json().dictionary();
    EXPECT_EQ(purchase->get("predefined_type").stringValue(), "purchase");
    auto predefined = purchase->get("predefined_attributes").dictionary();
    EXPECT_EQ(predefined->get("item_price").integerValue(), 500000);
    EXPECT_EQ(predefined->get("item_type").stringValue(), "subscription");
    EXPECT_EQ(predefined->get("item_id").stringValue(), "pro-1");
}

TEST_F(TallyTest, TheNextLaunchFilesTheCrashOfThePreviousOne)
{
    Tally::startWithBetaToken(std::nullopt);
    auto first = tally().analyticsController()->sessionIdentifier();
    newLaunch();
    platform::foundation::mainQueue().advance(60);
    Tally::startWithBetaToken(std::nullopt);
    ASSERT_NE(tally().analyticsController()->sessionIdentifier(), first);
    Tally::logPreviousSessionCrashedOnDate(Date { 1421236830.5 });

    auto lines = stored("1.log");
    auto crashed = std::find_if(
        lines.begin(), lines.end(), [](const auto& line) { return line.key == "app_crashed"; });
    ASSERT_NE(crashed, lines.end());
    EXPECT_EQ(crashed->timestamp, 1421236830000u);
    std::vector<std::string> crashFiles;
    for (const auto& file : test::filesBelow(*Tally::analyticsRootDirectory() / "v1" / "ACTIVE")) {
        if (file.find("1421236830000_") != std::string::npos)
            crashFiles.push_back(file);
    }
    ASSERT_EQ(crashFiles.size(), 1u);
    EXPECT_TRUE(crashFiles[0].starts_with("1421236800000_" + first + "/")) << "in the first launch's session";
}

TEST_F(TallyTest, InAnAppExtensionNothingStartsAndEveryCallIsQuietlyDropped)
{
    writeInfo(Dictionary::make({ { "NSExtension",
        Dictionary::make({ { "NSExtensionPointIdentifier", "com.apple.widget-extension" } }) } }));
    EXPECT_FALSE(EMBAnalyticsController::supported());
    clearLog();
    Tally::startWithBetaToken(std::nullopt);
    Tally::logCustomEventWithName("dropped", Dictionary::make({ { "a", 1 } }));
    Tally::logLoginWithMethod("pin", true, nullptr);
    Tally::logPreviousSessionCrashedOnDate(Date { 1421236830 });

    EXPECT_EQ(tally().analyticsController(), nullptr);
    EXPECT_FALSE(fs::exists(*Tally::analyticsRootDirectory()));
    EXPECT_FALSE(logged("[Ember:Tally]"));

    // A malformed entry is no extension.
    newLaunch();
    writeInfo(Dictionary::make({ { "NSExtension", "widget" } }));
    EXPECT_TRUE(EMBAnalyticsController::supported());
}

}
}
