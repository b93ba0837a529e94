#include "kit/analytics/EMBAnalyticsController.h"

#include "kit/analytics/EMBAnalyticsIdentifierGenerator.h"
#include "kit/analytics/EMBAnalyticsMetadataController.h"
#include "kit/analytics/EMBAnalyticsMetadataEvent.h"
#include "kit/analytics/EMBAnalyticsNetworkingClient.h"
#include "kit/analytics/EMBAnalyticsTimestampGenerator.h"
#include "kit/analytics/EMBAnalyticsViewControllerTrackingController.h"
#include "kit/analytics/EMBTallyCustomEvent.h"
#include "kit/analytics/tests/EventLogLines.h"
#include "kit/core/Cairn.h"
#include "kit/core/EMBUserDefaults.h"
#include "kit/core/tests/KitAppFixture.h"

#include "platform/foundation/Clock.h"
#include "platform/foundation/Json.h"
#include "platform/ui/Application.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

namespace kit {
namespace {

namespace fs = std::filesystem;
using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Error;
using platform::foundation::mainQueue;
using platform::foundation::NotificationCenter;
using platform::foundation::Value;
using test::keys;
using Repository = EMBEventLogSessionRepository;

// The virtual clock's start in milliseconds: every timestamp of a test that does not move the clock.
constexpr std::uint64_t kStart { 1421236800000 };

// An app on a fresh device with the kit platform's key set, whose analytics store lies in its home and whose
// kit settings, when a test announces them, upload to the local back-end.
class EMBAnalyticsControllerTest : public test::KitAppFixture {
protected:
    void SetUp() override
    {
        KitAppFixture::SetUp();
        Cairn::sharedSDK().reset();
        Cairn::sharedSDK().setAPIKey(testing::KitService::acceptedAPIKey());
    }

    void TearDown() override
    {
        releaseController();
        // Screens tracked by a test are not tracked for the next.
        EMBAnalyticsViewControllerTrackingController::disposeSharedInstance();
        Cairn::sharedSDK().setDebug(false);
        Cairn::sharedSDK().reset();
        KitAppFixture::TearDown();
    }

    /// Ends the launch's analytics once its queued work has run.
    void releaseController()
    {
        if (m_controller)
            m_controller->waitUntilIdle();
        m_controller.reset();
    }

    /// Starts this launch's analytics as session `session`.
    EMBAnalyticsController& launch(const std::string& session = "session-1")
    {
        releaseController();
        m_controller = EMBAnalyticsController::create(session, root(), std::nullopt);
        EXPECT_NE(m_controller, nullptr);
        return *m_controller;
    }

    fs::path root() const { return m_home.path() / "analytics"; }
    std::string uploadURL() const
    {
        return m_backend.url(testing::AnalyticsUploadStore::path("ios", "com.zorvik.Zorvik"));
    }

    /// The kit settings of the back-end with analytics uploading to it, no flush timer, and `analytics`
    /// over its analytics section.
    DictionaryRef settings(
        const std::vector<std::pair<std::string, Value>>& analytics = {}, bool collect = true)
    {
        auto document = testing::KitService::defaultSettings().deepCopy().dictionary();
        document->get("features").dictionary()->set("collect_analytics", collect);
        auto section = document->get("analytics").dictionary();
        section->set("url", uploadURL());
        section->set("flush_interval_secs", 0);
        for (const auto& [key, value] : analytics)
            section->set(key, value);
        return document;
    }

    /// Saves `document` as the platform's download does, announces it, and waits until it is applied.
    void announce(const DictionaryRef& document)
    {
        auto path = CRNSettingsOnboardingManager::settingsPath();
        fs::create_directories(path.parent_path());
        ASSERT_TRUE(platform::foundation::Files::writeText(path, platform::foundation::toJson(document)));
        Cairn::sharedSDK().settingsAndOnboardingManager()->settingsModel()->clearSettingsDictionary();
        NotificationCenter::defaultCenter().post(
            CRNSettingsOnboardingManager::kSettingsAvailableNotification);
        m_controller->waitUntilIdle();
    }

    /// Turns the main queue until `done` (at most 30 s).
    static bool settle(const std::function<bool()>& done) { return mainQueue().runUntil(done); }

    std::vector<testing::AnalyticsUpload> uploads() { return m_backend.analyticsUploads().uploads(); }
    /// Waits for `count` uploads and for the store to hold no packaged fragment any more.
    std::vector<testing::AnalyticsUpload> uploadsOnceSent(std::size_t count)
    {
        EXPECT_TRUE(settle([&] {
            return uploads().size() >= count && test::filesBelow(root() / "v1" / "PACKAGED").empty()
                && !fs::exists(root() / "v1" / "PACKAGED");
        }));
        m_controller->waitUntilIdle();
        return uploads();
    }

    /// Runs the whole maintenance chain and waits for its end, turning the main queue for the uploads.
    void maintain()
    {
        std::atomic<bool> done { false };
        m_controller->maintainSessionFragments([&](const std::optional<Error>&) { done = true; });
        ASSERT_TRUE(settle([&] { return done.load(); }));
    }

    fs::path openFragment() const
    {
        return m_controller->currentSessionFragmentDirectoryURL().value_or(fs::path());
    }

    std::shared_ptr<EMBAnalyticsController> m_controller;
};

TEST_F(EMBAnalyticsControllerTest, EventsReachTheFileOfTheirPriorityBehindTheSessionMetadata)
{
    auto& controller = launch();
    EXPECT_EQ(controller.sessionTimestamp(), kStart);
    controller.logAppInstalled();
    controller.logAppLaunched();
    auto attributes = Dictionary::make({ { "total", 12000 } });
    controller.logCustomEvent(std::make_shared<EMBTallyCustomEvent>("invoice sent", attributes));
    controller.logEvent(std::make_shared<EMBEventLogEvent>(3, kStart, "beyond low"));
    controller.waitUntilIdle();

    auto fragment = openFragment();
    EXPECT_EQ(fragment.parent_path(), root() / "v1" / "ACTIVE" / ("1421236800000_session-1"));
    EXPECT_EQ(test::filesBelow(fragment), (std::vector<std::string> { "0.log", "1.log", "2.log" }))
        << "a priority beyond low is dropped";
    const std::pair<const char*, const char*> cases[] = {
        { "0.log", "app_installed" },
        { "1.log", "app_launched" },
        { "2.log", "custom" },
    };
    std::optional<std::string> firstMetadata;
    for (const auto& [file, key] : cases) {
        SCOPED_TRACE(file);
        auto lines = test::eventLogLines(fragment / file);
        ASSERT_EQ(keys(lines), (std::vector<std::string> { "metadata", key }));
        EXPECT_EQ(lines[0].timestamp, kStart) << "the fragment's timestamp";
        auto session = lines[0].json().dictionary();
        ASSERT_NE(session, nullptr);
        EXPECT_EQ(session->get("generator").stringValue(), "Tally iOS SDK/1.2.0");
        EXPECT_EQ(session->get("api_key").stringValue(), testing::KitService::acceptedAPIKey());
        if (firstMetadata) {
            EXPECT_EQ(lines[0].payload, firstMetadata) << "one metadata for the session";
        }
        firstMetadata = lines[0].payload;
        EXPECT_EQ(lines[1].timestamp, kStart);
        EXPECT_FALSE(lines[1].json().dictionary()->get("eventId").stringValue().empty());
    }
    auto custom = test::eventLogLines(fragment / "2.log")[1].json().dictionary();
    EXPECT_EQ(custom->get("custom_type").stringValue(), "invoice sent");
    EXPECT_EQ(custom->get("custom_attributes").dictionary()->get("total").integerValue(), 12000);
    EXPECT_TRUE(m_backend.analyticsUploads().uploads().empty()) << "nothing goes out without settings";
}

TEST_F(EMBAnalyticsControllerTest, EventsFromManyThreadsAtOnceEachMakeOneWholeLine)
{
    auto& controller = launch();
    constexpr int kThreads { 4 };
    constexpr int kEvents { 50 };
    std::vector<std::thread> threads;
    for (int thread = 0; thread < kThreads; ++thread)
        threads.emplace_back([&controller, thread] {
            for (int event = 0; event < kEvents; ++event) {
                controller.logCustomEvent(std::make_shared<EMBTallyCustomEvent>(
                    "t" + std::to_string(thread) + "-" + std::to_string(event)));
                controller.logAppLaunched();
            }
        });
    for (auto& thread : threads)
        thread.join();
    controller.waitUntilIdle();

    for (const char* file : { "1.log", "2.log" }) {
        auto lines = test::eventLogLines(openFragment() / file);
        ASSERT_EQ(lines.size(), 1u + kThreads * kEvents) << file;
        EXPECT_EQ(lines[0].key, "metadata");
    }
}

TEST_F(EMBAnalyticsControllerTest, AHighPriorityEventSendsTheClosedFragmentAndTheUploadReadsAsLogged)
{
    auto& controller = launch();
    controller.logAppLaunched();
    controller.logCustomEvent(std::make_shared<EMBTallyCustomEvent>("before settings"));
    controller.logEvent(std::make_shared<EMBEventLogEvent>(0, kStart, "early high"));
    controller.waitUntilIdle();
    EXPECT_TRUE(uploads().empty()) << "without settings a high-priority event waits for them";
    auto firstFragment = openFragment();
    auto logged0 = test::readFile(firstFragment / "0.log");
    auto logged1 = test::readFile(firstFragment / "1.log");
    auto logged2 = test::readFile(firstFragment / "2.log");

    announce(settings());
    auto sent = uploadsOnceSent(1);
    ASSERT_EQ(sent.size(), 1u) << "the settings ran the maintenance the event asked for";
    ASSERT_EQ(sent[0].files.size(), 3u);
    EXPECT_EQ(sent[0].apiKey, testing::KitService::acceptedAPIKey());
    EXPECT_EQ(sent[0].files[0].fileName, "0.log.zip");
    EXPECT_EQ(sent[0].files[0].data, logged0);
    EXPECT_EQ(sent[0].files[1].data, logged1);
    EXPECT_EQ(sent[0].files[2].data, logged2);
    EXPECT_EQ(keys(test::parseEventLog(sent[0].files[2].data)),
        (std::vector<std::string> { "metadata", "custom" }));
    EXPECT_NE(openFragment(), firstFragment);
    EXPECT_FALSE(fs::exists(firstFragment)) << "sent fragments leave the store";
    EXPECT_TRUE(test::filesBelow(root()).empty()) << "the new fragment has no file until an event comes";

    // With settings, the next high-priority event sends at once; the lines logged meanwhile go with it.
    controller.logCustomEvent(std::make_shared<EMBTallyCustomEvent>("invoice paid"));
    NotificationCenter::defaultCenter().post(platform::ui::Application::didBecomeActiveNotification);
    sent = uploadsOnceSent(2);
    ASSERT_EQ(sent.size(), 2u);
    ASSERT_EQ(sent[1].files.size(), 2u);
    auto high = test::parseEventLog(sent[1].files[0].data);
    EXPECT_EQ(keys(high), (std::vector<std::string> { "metadata", "app_became_active" }));
    auto low = test::parseEventLog(sent[1].files[1].data);
    ASSERT_EQ(keys(low), (std::vector<std::string> { "metadata", "custom" }));
    EXPECT_EQ(low[1].json().dictionary()->get("custom_type").stringValue(), "invoice paid");
}

TEST_F(EMBAnalyticsControllerTest, AFileGrowingPastTheSizeLimitStartsMaintenanceOnlyBeyondIt)
{
    // The session's metadata is known, so the size of a file with one event is too.
    const auto metadata = std::make_shared<const EMBAnalyticsMetadataController>(kStart, std::nullopt);
    const EMBEventLogEvent event(2, kStart, "custom", platform::foundation::Bytes { 'x' });
    const auto fileSize
        = EMBAnalyticsMetadataEvent(2, kStart, metadata->metadataJSONData()).eventData().size()
        + event.eventData().size();
    struct Case {
        const char* name;
        std::int64_t limit;
        bool maintains;
    };
    const Case cases[] = {
        { "no limit", 0, false },
        { "a file exactly at the limit", static_cast<std::int64_t>(fileSize), false },
        { "one byte beyond", static_cast<std::int64_t>(fileSize) - 1, true },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto before = uploads().size();
        releaseController();
        fs::remove_all(root());
        m_controller = EMBAnalyticsController::create("session-1", root(), std::nullopt,
            std::make_shared<EMBAnalyticsIdentifierGenerator>(),
            std::make_shared<EMBAnalyticsTimestampGenerator>(), metadata,
            std::make_shared<EMBAnalyticsNetworkingClient>());
        ASSERT_NE(m_controller, nullptr);
        announce(settings({ { "max_byte_size_per_file", testCase.limit } }));
        auto fragment = openFragment();
        m_controller->logEvent(std::make_shared<EMBEventLogEvent>(event));
        m_controller->waitUntilIdle();
        if (!testCase.maintains) {
            EXPECT_EQ(openFragment(), fragment);
            EXPECT_EQ(fs::file_size(fragment / "2.log"), fileSize);
            continue;
        }
        auto sent = uploadsOnceSent(before + 1);
        ASSERT_EQ(sent.size(), before + 1);
        ASSERT_EQ(sent.back().files.size(), 1u);
        EXPECT_EQ(test::parseEventLog(sent.back().files[0].data).back().key, "custom");
        EXPECT_NE(openFragment(), fragment);
    }
}

TEST_F(EMBAnalyticsControllerTest, SettingsThatStopCollectingDeleteTheStoreUntilTheyCollectAgain)
{
    auto& controller = launch();
    controller.logAppLaunched();
    controller.waitUntilIdle();
    ASSERT_TRUE(fs::exists(openFragment() / "1.log"));

    announce(settings({}, false));
    EXPECT_FALSE(fs::exists(root())) << "the whole store goes";
    controller.logAppLaunched();
    controller.logCustomEvent(std::make_shared<EMBTallyCustomEvent>("ignored"));
    controller.logPreviousSessionCrashedOnDate(platform::foundation::Date { 1421230000 });
    controller.waitUntilIdle();
    EXPECT_FALSE(fs::exists(root())) << "no event is written while analytics is off";
    EXPECT_TRUE(logged("[Ember:Tally] Tally Event tracking is disabled for this application. Ignoring "
                       "EMBTallyCustomEvent"));

    announce(settings());
    controller.logCustomEvent(std::make_shared<EMBTallyCustomEvent>("back on"));
    controller.waitUntilIdle();
    auto lines = test::activeEventLogLines(root(), "2.log");
    ASSERT_EQ(keys(lines), (std::vector<std::string> { "metadata", "custom" }))
        << "analytics on again: events land in a fragment of their own";
    EXPECT_EQ(lines[1].json().dictionary()->get("custom_type").stringValue(), "back on");
}

TEST_F(EMBAnalyticsControllerTest, TheFlushTimerMaintainsOnTheIntervalCountedFromTheLastMaintenance)
{
    struct Case {
        const char* name;
        std::optional<double> lastMaintenanceAgo;
        double firstFire;
    };
    const Case cases[] = {
        { "no maintenance yet: one interval from now", std::nullopt, 60 },
        { "45 seconds ago", 45, 15 },
        { "two minutes ago: at once", 120, 0 },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        auto store = EMBUserDefaults::standardUserDefaults();
        store->removeObjectForKey(EMBAnalyticsController::kLastMaintenanceDateKey);
        if (testCase.lastMaintenanceAgo)
            store->setObject(EMBAnalyticsController::kLastMaintenanceDateKey,
                platform::foundation::now().addingSeconds(-*testCase.lastMaintenanceAgo));
        auto before = uploads().size();
        releaseController();
        fs::remove_all(root());
        auto& controller = launch();
        controller.logAppLaunched();
        announce(settings({ { "flush_interval_secs", 60 } }));
        auto fragment = openFragment();

        if (testCase.firstFire > 0) {
            mainQueue().advance(testCase.firstFire - 1);
            controller.waitUntilIdle();
            EXPECT_EQ(openFragment(), fragment) << "not yet";
            mainQueue().advance(1);
        } else {
            mainQueue().runUntilIdle();
        }
        auto sent = uploadsOnceSent(before + 1);
        ASSERT_EQ(sent.size(), before + 1);
        EXPECT_EQ(keys(test::parseEventLog(sent.back().files.at(0).data)),
            (std::vector<std::string> { "metadata", "app_launched" }));
        EXPECT_NE(openFragment(), fragment);

        // Then every interval: the empty fragment it closed goes out as an upload without files.
        fragment = openFragment();
        mainQueue().advance(60);
        sent = uploadsOnceSent(before + 2);
        ASSERT_EQ(sent.size(), before + 2);
        EXPECT_TRUE(sent.back().files.empty());
        EXPECT_NE(openFragment(), fragment);
        releaseController();
        mainQueue().reset();
    }
}

TEST_F(EMBAnalyticsControllerTest, PruningDeletesTheOldestLowestPriorityFilesBeyondTheLimit)
{
    // Two closed fragments waiting to be sent, the older with a high and a low file, the newer with a
    // medium and a low one; no upload URL, so nothing leaves.
    struct Case {
        const char* name;
        std::vector<std::string> olderFiles;
        std::vector<std::string> newerFiles;
        std::int64_t limit;
        std::vector<std::string> kept;
    };
    const std::string older = "v1/PACKAGED/1421230000000_old/1421230000000_a/";
    const std::string newer = "v1/PACKAGED/1421230000000_old/1421230001000_b/";
    const Case cases[] = {
        { "within the limit", { "0.log.zip", "2.log.zip" }, { "1.log.zip", "2.log.zip" }, 4,
            { older + "0.log.zip", older + "2.log.zip", newer + "1.log.zip", newer + "2.log.zip" } },
        { "low ones first, oldest first", { "0.log.zip", "2.log.zip" }, { "1.log.zip", "2.log.zip" }, 3,
            { older + "0.log.zip", newer + "1.log.zip", newer + "2.log.zip" } },
        { "then medium", { "0.log.zip", "2.log.zip" }, { "1.log.zip", "2.log.zip" }, 1,
            { older + "0.log.zip" } },
        { "without low files medium goes first", { "0.log.zip" }, { "1.log.zip" }, 1,
            { older + "0.log.zip" } },
        { "a limit of 0 leaves nothing closed", { "0.log.zip", "2.log.zip" }, { "1.log.zip" }, 0, {} },
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        fs::remove_all(root());
        for (const auto& [directory, names] : std::vector<std::pair<std::string, std::vector<std::string>>> {
                 { older, testCase.olderFiles }, { newer, testCase.newerFiles } }) {
            fs::create_directories(root() / directory);
            for (const auto& name : names)
                std::ofstream(root() / directory / name) << "gzip";
        }
        auto& controller = launch();
        announce(settings({ { "max_pending_send_file_count", testCase.limit } }));
        controller.logAppLaunched();
        controller.waitUntilIdle();

        std::optional<std::optional<Error>> outcome;
        controller.pruneSessionFragmentLogFiles([&](const std::optional<Error>& error) { outcome = error; });
        controller.waitUntilIdle();
        ASSERT_TRUE(outcome);
        EXPECT_FALSE(outcome->has_value());
        auto kept = test::filesBelow(root() / "v1" / "PACKAGED");
        std::vector<std::string> expected;
        for (const auto& file : testCase.kept)
            expected.push_back(fs::path(file).lexically_relative("v1/PACKAGED").string());
        EXPECT_EQ(kept, expected);
        EXPECT_TRUE(fs::exists(openFragment() / "1.log")) << "the open fragment's files are no candidates";
    }
}

TEST_F(EMBAnalyticsControllerTest, WithoutAnUploadURLMaintenanceStillPrunesCleansAndSavesItsDate)
{
    Cairn::sharedSDK().setDebug(true);
    auto& controller = launch();
    controller.logAppLaunched();
    controller.waitUntilIdle();
    auto stray = root() / "v1" / "stray.txt";
    std::ofstream(stray) << "not ours";
    auto document = settings({ { "max_pending_send_file_count", 0 } });
    document->get("analytics").dictionary()->remove("url");
    announce(document);

    maintain();
    EXPECT_TRUE(logged("[Ember:Tally] Unable to transmit packaged session fragments"));
    EXPECT_TRUE(uploads().empty());
    EXPECT_TRUE(test::filesBelow(root()).empty())
        << "the closed launch fragment is pruned, the stray file cleaned";
    EXPECT_TRUE(fs::exists(openFragment()));
    EXPECT_EQ(EMBUserDefaults::standardUserDefaults()->objectForKey(
                  EMBAnalyticsController::kLastMaintenanceDateKey),
        Value(platform::foundation::now()));
}

TEST_F(EMBAnalyticsControllerTest, TheNextLaunchFilesThePreviousSessionsCrashBehindItsMetadata)
{
    launch("first");
    m_controller->logAppLaunched();
    m_controller->waitUntilIdle();
    auto firstLines = test::eventLogLines(openFragment() / "1.log");
    ASSERT_FALSE(firstLines.empty());
    m_controller.reset();

    mainQueue().advance(3600);
    auto& controller = launch("second");
    const platform::foundation::Date crashed { 1421238000.75 };
    controller.logPreviousSessionCrashedOnDate(crashed);
    controller.waitUntilIdle();

    auto firstSession = root() / "v1" / "ACTIVE" / "1421236800000_first";
    std::vector<std::string> crashFiles;
    for (const auto& file : test::filesBelow(firstSession)) {
        if (file.starts_with("1421238000000_"))
            crashFiles.push_back(file);
    }
    ASSERT_EQ(crashFiles.size(), 1u) << "a fragment of its own, named by the crash";
    EXPECT_TRUE(crashFiles[0].ends_with("/1.log"));
    auto lines = test::eventLogLines(firstSession / crashFiles[0]);
    ASSERT_EQ(keys(lines), (std::vector<std::string> { "metadata", "app_crashed" }));
    EXPECT_EQ(lines[0].timestamp, 1421238000000u);
    EXPECT_EQ(lines[1].timestamp, 1421238000000u) << "whole seconds";
    EXPECT_EQ(lines[0].payload, firstLines[0].payload) << "the first launch's metadata";
}

TEST_F(EMBAnalyticsControllerTest, ScreensAreLoggedWhileTheSettingsTrackThemAndTrackedFromTheNextLaunch)
{
    auto tracker = EMBAnalyticsViewControllerTrackingController::sharedInstance();
    auto& controller = launch();
    EXPECT_EQ(tracker->delegate().get(), &controller);
    EXPECT_FALSE(tracker->isTracking());
    auto screen = std::make_shared<platform::ui::ViewController>();
    screen->setTitle("Invoices");

    controller.didDetectAppearanceOfViewController(*tracker, screen);
    announce(settings({ { "track_view_controllers", true } }));
    controller.didDetectAppearanceOfViewController(*tracker, screen);
    controller.didDetectDisappearanceOfViewController(*tracker, screen);
    controller.waitUntilIdle();
    auto lines = test::eventLogLines(openFragment() / "2.log");
    ASSERT_EQ(keys(lines),
        (std::vector<std::string> { "metadata", "view_controller_appeared", "view_controller_disappeared" }))
        << "only once the settings ask for screens";
    auto appeared = lines[1].json().dictionary();
    EXPECT_EQ(appeared->get("view_controller_title").stringValue(), "Invoices");
    EXPECT_FALSE(tracker->isTracking()) << "the screens' methods are replaced from the next launch";

    launch("session-2");
    EXPECT_TRUE(tracker->isTracking());
}

}
}
