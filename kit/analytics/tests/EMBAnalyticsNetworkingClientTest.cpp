#include "kit/analytics/EMBAnalyticsNetworkingClient.h"

#include "kit/analytics/EMBAnalyticsApplicationLifecycleEvent.h"
#include "kit/analytics/EMBCompressionGZip.h"
#include "kit/analytics/EMBEventLogEventFile.h"
#include "kit/analytics/EMBEventLogSessionRepository.h"

#include "platform/foundation/MainQueue.h"

#include "testing/TemporaryDirectory.h"
#include "testing/backend/Backend.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <mutex>

namespace kit {
namespace {

namespace fs = std::filesystem;
using platform::foundation::Error;
using platform::foundation::mainQueue;
using Repository = EMBEventLogSessionRepository;

class EMBAnalyticsNetworkingClientTest : public ::testing::Test {
protected:
    // A closed fragment of this session holding `lines` in "<priority>.log" for each priority given, packaged
    // as the kit packages it: its log files' gzip in the fragment's "PACKAGED" directory.
    std::vector<fs::path> packagedFragment(const std::vector<std::pair<std::uint64_t, std::string>>& lines)
    {
        auto active = repository.sessionFragmentDirectoryURLForStateName(
            Repository::kActiveStateName, "session", 1421236800000, "fragment", 1421236800000);
        auto packaged
            = repository.prepSessionFragmentDirectoryURLForStateName(Repository::kPackagedStateName, *active);
        EXPECT_TRUE(active && packaged);
        for (const auto& [priority, line] : lines) {
            auto log = *active / *Repository::activeEventLogFileNameForPriority(priority);
            std::ofstream(log, std::ios::binary) << line;
            EXPECT_TRUE(EMBCompressionGZipFile(log, *packaged / (log.filename().string() + ".zip")));
        }
        auto finished = repository.removePrepStatusFromSessionFragmentDirectoryURL(*packaged);
        auto files = repository.logFileURLsForSessionFragmentDirectory(finished.value_or(fs::path()));
        EXPECT_TRUE(files);
        return files.value_or(std::vector<fs::path>());
    }

    // Transmits `files` and waits for the completion: its error.
    std::optional<Error> transmit(const std::vector<fs::path>& files, const std::string& url)
    {
        std::atomic<bool> done { false };
        std::optional<Error> outcome;
        std::mutex mutex;
        client.transmitLogFilesAtURLs(
            files, url, testing::KitService::acceptedAPIKey(), [&](const std::optional<Error>& error) {
                std::lock_guard lock(mutex);
                outcome = error;
                done = true;
            });
        for (int turn = 0; turn < 20 && !done; ++turn) {
            if (!mainQueue().runUntil([&] { return done || mainQueue().pendingCount() > 0; }))
                break;
            if (!done)
                mainQueue().advance(3600);
        }
        EXPECT_TRUE(done);
        std::lock_guard lock(mutex);
        return outcome;
    }

    std::string uploadUrl() const
    {
        return backend.url(testing::AnalyticsUploadStore::path("ios", "com.zorvik.Zorvik"));
    }

    ::testing::TemporaryDirectory root;
    Repository repository { root.path() / "analytics" };
    testing::Backend backend;
    EMBAnalyticsNetworkingClient client;
};

TEST_F(EMBAnalyticsNetworkingClientTest, UploadsAPackagedFragmentsLogsAsTheServiceReadsThem)
{
    const std::string high
        = "1421236800000\tmetadata\t2\t{}\n1421236800001\tapp_installed\t16\t{\"eventId\":\"E-1\"}\n";
    const std::string low = "1421236800002\tmetadata\t2\t{}\n";
    auto files = packagedFragment({ { 0, high }, { 2, low } });
    ASSERT_EQ(files.size(), 2u);

    EXPECT_EQ(transmit(files, uploadUrl()), std::nullopt);

    auto uploads = backend.analyticsUploads().uploads();
    ASSERT_EQ(uploads.size(), 1u);
    const auto& upload = uploads[0];
    EXPECT_EQ(upload.apiKey, testing::KitService::acceptedAPIKey());
    EXPECT_EQ(upload.app, "com.zorvik.Zorvik");
    const std::pair<const char*, const char*> headers[] = {
        { "User-Agent", "Tally iOS SDK/1.2.0" },
        { "X-EMBER-DEVELOPER-TOKEN", "3e9b1f07c4d82a65e0f9b7d3c1a48e6f2b5d09c7" },
        { "X-EMBER-API-CLIENT-TYPE", "Tally iOS SDK" },
        { "X-EMBER-API-CLIENT-VERSION", "7" },
        { "X-EMBER-API-CLIENT-DISPLAY-VERSION", "1.2.0" },
        { "X-EMBER-API-CLIENT-BUILD-VERSION", "7" },
    };
    for (const auto& [name, value] : headers)
        EXPECT_EQ(upload.header(name), value) << name;
    ASSERT_EQ(upload.files.size(), 2u);
    EXPECT_EQ(upload.files[0].name, "0.log.zip");
    EXPECT_EQ(upload.files[0].fileName, "0.log.zip");
    EXPECT_EQ(upload.files[0].contentType, "application/vnd.ember.ios.events");
    EXPECT_EQ(upload.files[0].data, high);
    EXPECT_EQ(upload.files[1].fileName, "2.log.zip");
    EXPECT_EQ(upload.files[1].data, low);

    auto request = EMBAnalyticsNetworkingClient::requestForLogFilesAtURLs(files, uploadUrl(), "key");
    ASSERT_TRUE(request);
    EXPECT_EQ(request->method, "POST");
    EXPECT_EQ(request->timeoutInterval, 20);
    EXPECT_EQ(request->cachePolicy, platform::http::UrlRequest::CachePolicy::ReloadIgnoringLocalCacheData);
    EXPECT_EQ(request->header("Content-Length"), std::to_string(request->body.size()));
}

TEST_F(EMBAnalyticsNetworkingClientTest, AFragmentWithoutFilesIsARequestWithoutParts)
{
    EXPECT_EQ(transmit({}, uploadUrl()), std::nullopt);
    auto uploads = backend.analyticsUploads().uploads();
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_TRUE(uploads[0].files.empty());
}

TEST_F(EMBAnalyticsNetworkingClientTest, ReportsWhatDidNotReachTheService)
{
    auto files = packagedFragment({ { 1, "1\tapp_launched\n" } });
    const std::string route = testing::AnalyticsUploadStore::path(":platform", ":app");

    // A file gone before the upload: nothing is sent, rather than a fragment reported sent without it.
    auto missing = files;
    missing.push_back(files[0].parent_path() / "2.log.zip");
    auto unreadable = transmit(missing, uploadUrl());
    ASSERT_TRUE(unreadable);
    EXPECT_EQ(unreadable->domain(), EMBAnalyticsNetworkingClient::kErrorDomain);
    EXPECT_EQ(unreadable->code(), EMBAnalyticsNetworkingClient::kUnreadableFileCode);
    EXPECT_TRUE(backend.requests().empty());

    backend.failRoute("POST", route, 400, 1);
    EXPECT_TRUE(transmit(files, uploadUrl())) << "a refusal is not retried";
    EXPECT_TRUE(backend.analyticsUploads().uploads().empty());

    // An answer worth retrying is retried, after the back-off, until the service takes the files.
    backend.failRoute("POST", route, 503, 2);
    EXPECT_EQ(transmit(files, uploadUrl()), std::nullopt);
    EXPECT_EQ(backend.analyticsUploads().uploads().size(), 1u);
    EXPECT_EQ(backend.requests().size(), 4u);
}

}
}
