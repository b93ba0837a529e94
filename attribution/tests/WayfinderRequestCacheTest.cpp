#include "attribution/tests/TrackerFixture.h"

#include "attribution/WayfinderScrambler.h"
#include "attribution/WayfinderServerHandler.h"

#include "testing/server/Gate.h"
#include "testing/server/RefusingPort.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <set>
#include <thread>

namespace attribution::test {
namespace {

namespace fs = std::filesystem;
using platform::foundation::Files;
using platform::foundation::mainQueue;

class WayfinderRequestCacheTest : public TrackerFixture {
protected:
    /// Whether `condition` holds within 30 seconds, asked every few milliseconds.
    static bool eventually(const std::function<bool()>& condition)
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    fs::path directory() { return *WayfinderRequestCache::instance().getCacheDirectoryPath(); }

    std::vector<fs::path> files()
    {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(directory()))
            found.push_back(entry.path());
        return found;
    }

    /// Sends an event that the network loses on its way.
    void sendOffline(const std::string& event)
    {
        m_backend.dropRoute("POST", "/api/v3/iosevent", 1);
        tracker.callServerWithEventName(event);
        settle();
    }

    void writeFile(const std::string& name, const std::string& text)
    {
        ASSERT_TRUE(Files::writeText(directory() / name, text));
    }
};

TEST_F(WayfinderRequestCacheTest, AFailedRequestWaitsOnDiskUntilTheNextOneGetsThrough)
{
    sendOffline("offline");
    auto cached = files();
    ASSERT_EQ(cached.size(), 1u);
    EXPECT_EQ(cached[0].extension(), ".af");
    auto text = Files::readText(cached[0]).value_or("");
    auto url = WayfinderTracker::createURLFor("event", kAppID);
    EXPECT_TRUE(text.starts_with("version=3.0\nurl=" + url + "\ndata=")) << text;
    EXPECT_FALSE(text.ends_with("\n"));
    EXPECT_TRUE(received().empty());

    mainQueue().advance(30);
    tracker.callServerWithEventName("online");
    settle(WayfinderRequestCache::kReplayDelay);
    settle();
    auto requests = received();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].field("event"), "online");
    EXPECT_FALSE(requests[0].cached);
    EXPECT_EQ(requests[1].field("event"), "offline");
    EXPECT_TRUE(requests[1].cached);
    ASSERT_TRUE(requests[1].timeInCache.has_value());
    EXPECT_NEAR(*requests[1].timeInCache, 30, 0.01);
    EXPECT_TRUE(files().empty()) << "a replayed request leaves the cache";
}

TEST_F(WayfinderRequestCacheTest, TheCacheHoldsFortyOneFilesAtMost)
{
    for (int i = 0; i < 40; ++i)
        writeFile("filler-" + std::to_string(i), "version=3.0\nurl=x");
    sendOffline("41st");
    EXPECT_EQ(files().size(), 41u) << "40 files: written as the 41st";
    sendOffline("42nd");
    EXPECT_EQ(files().size(), 41u);
    EXPECT_TRUE(logged("Cache reached limit - not caching request...."));
}

TEST_F(WayfinderRequestCacheTest, OnlyWholeFilesAreReadAndTheirTimeCountsFromTheirName)
{
    writeFile("broken.af", "version=3.0\nurl=http://127.0.0.1:9/x");
    writeFile("nonumber.af", "version=2.0\nurl=http://127.0.0.1:9/x?a=1\ndata=QUJD");
    auto requests = WayfinderRequestCache::instance().getCachedRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0]->cacheKey, "nonumber.af");
    EXPECT_EQ(requests[0]->sdkVersion, "2.0");
    EXPECT_EQ(requests[0]->postData, "QUJD");
    char expected[64];
    std::snprintf(expected, sizeof expected, "&timeincache=%f",
        platform::foundation::now().secondsSince1970 - WayfinderRequestCache::kReferenceDate);
    EXPECT_EQ(requests[0]->requestURL, std::string("http://127.0.0.1:9/x?a=1") + expected)
        << "a name that is no number counts from the reference date";
}

TEST_F(WayfinderRequestCacheTest, AFailedReplayDropsOnlyAnotherVersionsRequests)
{
    ::testing::RefusingPort closed;
    const std::string unreachable = closed.url("/api/v3/iosevent?app_id=1");
    writeFile("1.af", "version=2.0\nurl=" + unreachable + "\ndata=QUJD");
    writeFile("2.af", "version=3.0\nurl=" + unreachable + "\ndata=QUJD");
    writeFile("3.af", "version=3.0\nurl=x");
    tracker.callServerWithEventName("online");
    settle(WayfinderRequestCache::kReplayDelay);
    settle();
    std::vector<std::string> left;
    for (const auto& file : files())
        left.push_back(file.filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string> { "2.af", "3.af" }));
}

TEST_F(WayfinderRequestCacheTest, TwoSuccessesInQuickSuccessionStartOneReplay)
{
    sendOffline("offline");
    tracker.callServerWithEventName("first");
    tracker.callServerWithEventName("second");
    settle(WayfinderRequestCache::kReplayDelay);
    settle();
    auto requests = received();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(), [](const auto& r) { return r.cached; }), 1);
}

TEST_F(WayfinderRequestCacheTest, ASuccessDuringAReplaySendsNoCachedRequestTwice)
{
    sendOffline("offline");
    ASSERT_TRUE(eventually([&] { return files().size() == 1; })) << "the lost request is cached";
    tracker.callServerWithEventName("online");
    settle();
    ASSERT_TRUE(eventually([&] { return !received().empty(); })) << "the live request arrived";

    // The replay starts its one request, whose answer the service holds: the replay list is empty now, but
    // the file is still on disk until that answer comes. The success's completion may still be scheduling
    // the replay on the main queue's clock, so the clock moves on until the cached request has arrived.
    ::testing::Gate gate;
    m_backend.holdRoute("POST", "/api/v3/iosevent", gate);
    auto replayed = [&] {
        auto requests = m_backend.requests();
        return std::any_of(requests.begin(), requests.end(), [](const auto& request) {
            return request.target.find("isCachedRequest=true") != std::string::npos;
        });
    };
    ASSERT_TRUE(eventually([&] {
        mainQueue().advance(WayfinderRequestCache::kReplayDelay);
        return replayed();
    }));
    m_backend.clearHooks();
    ASSERT_EQ(files().size(), 1u);

    // A live request succeeds meanwhile; its completion is over when `onSuccess` runs.
    std::mutex mutex;
    std::condition_variable changed;
    bool delivered = false;
    auto live = std::make_shared<WayfinderRequestCacheData>(WayfinderTracker::createURLFor("event", kAppID),
        WayfinderScrambler::scramble("uid=1,event=meanwhile,", kDevKey), WayfinderRequestCache::kSDKVersion);
    WayfinderServerHandler::sendRequestEventToServer(live, false, false, -1, [&] {
        std::lock_guard lock(mutex);
        delivered = true;
        changed.notify_all();
    });
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(30), [&] { return delivered; }));
    }
    mainQueue().advance(WayfinderRequestCache::kReplayDelay);
    gate.open();
    settle(WayfinderRequestCache::kReplayDelay);

    std::multiset<std::string> events;
    for (const auto& request : received())
        events.insert(request.field("event").value_or("?") + (request.cached ? " (cached)" : ""));
    EXPECT_EQ(events, (std::multiset<std::string> { "online", "offline (cached)", "meanwhile" }));
    EXPECT_TRUE(files().empty());

    // The replay is over once its last answer came: the next success replays what failed since.
    sendOffline("later");
    tracker.callServerWithEventName("back");
    settle(WayfinderRequestCache::kReplayDelay);
    settle();
    auto requests = received();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(requests.back().field("event"), "later");
    EXPECT_TRUE(requests.back().cached);
    EXPECT_TRUE(files().empty());
}

}
}
