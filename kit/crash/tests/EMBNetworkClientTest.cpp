#include "kit/crash/EMBNetworkClient.h"

#include "kit/core/CRNNetworkResponseHandler.h"
#include "kit/core/CRNRetryBackoff.h"
#include "kit/crash/EMBFileManager.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "testing/TemporaryDirectory.h"
#include "testing/backend/Backend.h"
#include "testing/server/TestCertificateAuthority.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

namespace kit {
namespace {

using namespace std::chrono_literals;
using platform::foundation::Error;
using platform::foundation::mainQueue;
using platform::http::UrlRequest;

constexpr const char* kReportsPath { "/sdk-api/v1/platforms/ios/apps/com.zorvik.Zorvik/reports" };
constexpr const char* kBoundary { "9C2F4A1E-0B7D-4E55-8A3C-6D1F2B9E7A40" };

// The delegate of the crash reporting controller, recording what it is told.
class RecordingDelegate : public EMBNetworkClientDelegate {
public:
    struct Finish {
        std::string path;
        std::optional<Error> error;
    };

    bool networkClientCanUseBackgroundSessions(EMBNetworkClient&) override { return true; }
    void networkClientDidFinishUploadWithPath(
        EMBNetworkClient&, const std::string& path, const std::optional<Error>& error) override
    {
        std::lock_guard lock(m_mutex);
        m_finished.push_back({ path, error });
    }
    std::vector<Finish> finished() const
    {
        std::lock_guard lock(m_mutex);
        return m_finished;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<Finish> m_finished;
};

class EMBNetworkClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::foundation::Log::setCapture([this](const std::string& line) {
            std::lock_guard lock(m_logMutex);
            m_log.push_back(line);
        });
        m_files->prepareForNewLaunch();
    }
    void TearDown() override { platform::foundation::Log::setCapture({}); }

    std::shared_ptr<EMBNetworkClient> makeClient(
        std::optional<std::vector<CRNCertificate>> pinned = std::vector<CRNCertificate> {})
    {
        return EMBNetworkClient::create(m_queue, m_files, m_delegate, std::move(pinned));
    }

    // A package of one report in prepared (or at `path`).
    std::string writePackage(const std::string& name = std::string(kBoundary) + ".multipartmime",
        std::optional<std::filesystem::path> path = std::nullopt)
    {
        auto file = path.value_or(std::filesystem::path(m_files->preparedPath()) / name);
        std::ofstream output(file, std::ios::binary);
        output << "MIME-Version: 1.0\r\n--" << kBoundary
               << "\r\nContent-Disposition: form-data; name=\"report_id\"\r\n\r\nr1\r\n--" << kBoundary
               << "\r\nContent-Disposition: form-data; name=\"signal.embrecord\"; "
                  "filename=\"signal.embrecord.gz\""
                  "\r\nContent-Type: text/plain\r\n\r\n{}\n\r\n--"
               << kBoundary << "--\r\n";
        return file.string();
    }

    UrlRequest request(
        double timeout = 10, const std::string& key = testing::KitService::acceptedAPIKey()) const
    {
        UrlRequest request;
        request.url = m_backend->url(kReportsPath);
        request.method = "POST";
        request.timeoutInterval = timeout;
        request.headers = { { "Accept", "application/json" }, { "X-Ember-API-Key", key },
            { "Content-Type", std::string("multipart/form-data; boundary=") + kBoundary } };
        return request;
    }

    // Runs the main queue until the delegate has heard `count` outcomes.
    bool waitForFinishes(std::size_t count)
    {
        return mainQueue().runUntil([&] { return m_delegate->finished().size() >= count; }, 10s);
    }
    bool waitForLog(const std::string& part)
    {
        return mainQueue().runUntil([&] { return logged(part); }, 10s);
    }
    bool logged(const std::string& part) const
    {
        std::lock_guard lock(m_logMutex);
        return std::any_of(m_log.begin(), m_log.end(),
            [&](const auto& line) { return line.find(part) != std::string::npos; });
    }
    // Moves the virtual clock on and lets what falls due reach the server.
    void advance(double seconds)
    {
        mainQueue().advance(seconds);
        m_queue->waitUntilAllOperationsAreFinished();
        mainQueue().runUntil([] { return false; }, 300ms);
    }
    std::size_t uploads() const { return m_backend->requests().size(); }

    ::testing::TemporaryDirectory m_directory;
    std::unique_ptr<::testing::Backend> m_backend { std::make_unique<::testing::Backend>() };
    std::shared_ptr<EMBFileManager> m_files { std::make_shared<EMBFileManager>(
        (m_directory.path() / "root").string()) };
    std::shared_ptr<platform::foundation::OperationQueue> m_queue {
        std::make_shared<platform::foundation::OperationQueue>("com.cairn.ember.ios.work-queue", 1)
    };
    std::shared_ptr<RecordingDelegate> m_delegate { std::make_shared<RecordingDelegate>() };
    mutable std::mutex m_logMutex;
    std::vector<std::string> m_log;
};

TEST_F(EMBNetworkClientTest, UploadsAPackageAndTellsTheOutcomeOnce)
{
    struct Case {
        const char* name;
        std::string key;
        bool missing;
        bool outsideRoot;
        std::optional<std::pair<std::string, std::int64_t>> error;
        std::size_t requests;
    };
    const Case cases[] = {
        { "accepted", testing::KitService::acceptedAPIKey(), false, false, std::nullopt, 1 },
        { "outside the root", testing::KitService::acceptedAPIKey(), false, true, std::nullopt, 1 },
        { "refused key is not retried", "0000", false, false,
            std::pair<std::string, std::int64_t> {
                CRNNetworkResponseHandler::kErrorDomain, CRNNetworkResponseHandler::kClientErrorCode },
            1 },
        { "unreadable package", testing::KitService::acceptedAPIKey(), true, false,
            std::pair<std::string, std::int64_t> {
                EMBNetworkClient::kErrorDomain, EMBNetworkClient::kUnreadableFileCode },
            0 },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        m_backend = std::make_unique<::testing::Backend>();
        m_backend->kit().setRequiredAPIKey(testing::KitService::acceptedAPIKey());
        m_delegate = std::make_shared<RecordingDelegate>();
        auto client = makeClient();
        EXPECT_FALSE(client->supportsBackgroundRequests()) << "the delegate allows it, the platform has none";
        auto path = test.outsideRoot ? writePackage("", m_directory.path() / "elsewhere.multipartmime")
                                     : writePackage();
        if (test.missing)
            std::filesystem::remove(path);
        client->startUploadRequest(request(10, test.key), path, false);
        ASSERT_TRUE(waitForFinishes(1));
        advance(60);
        auto finished = m_delegate->finished();
        ASSERT_EQ(finished.size(), 1u);
        EXPECT_EQ(finished[0].path, path);
        EXPECT_EQ(uploads(), test.requests);
        if (!test.error) {
            EXPECT_FALSE(finished[0].error);
            EXPECT_EQ(m_backend->crashReports().reportsWithIdentifier("r1").size(), 1u);
            continue;
        }
        ASSERT_TRUE(finished[0].error);
        EXPECT_EQ(finished[0].error->domain(), test.error->first);
        EXPECT_EQ(finished[0].error->code(), test.error->second);
        if (test.missing) {
            EXPECT_EQ(finished[0].error->userInfo()->get("path"), platform::foundation::Value(path));
        } else {
            EXPECT_TRUE(std::filesystem::exists(path)) << "the client never deletes a package";
        }
    }
    EXPECT_TRUE(logged("failed: status 401"));
}

TEST_F(EMBNetworkClientTest, RetriesAfterTheServersDelayOnTheVirtualClock)
{
    testing::ServerResponse busy = testing::ServerResponse::text(503, "busy");
    busy.headers = { { "Retry-After", "30" } };
    m_backend->answerRoute("POST", kReportsPath, busy, 1);
    auto client = makeClient();
    auto path = writePackage();
    client->startUploadRequest(request(), path, false);
    ASSERT_TRUE(waitForLog("failed: status 503"));

    advance(26.9);
    EXPECT_EQ(uploads(), 1u) << "no retry before the server's 30 s (less 10 % jitter)";
    EXPECT_TRUE(m_delegate->finished().empty());
    advance(6.2);
    ASSERT_TRUE(waitForFinishes(1));
    EXPECT_EQ(uploads(), 2u);
    EXPECT_FALSE(m_delegate->finished()[0].error);
}

TEST_F(EMBNetworkClientTest, RetriesServerFailuresWithAGrowingBackOffUntilAccepted)
{
    m_backend->failRoute("POST", kReportsPath, 500, 3);
    auto client = makeClient();
    client->startUploadRequest(request(), writePackage(), false);
    // Without Retry-After: about 2, 2 and then 4 seconds (each ±10 %), never a flat 2 s.
    const std::pair<double, double> waits[] = { { 1.7, 0.6 }, { 1.7, 0.6 }, { 3.5, 1.0 } };
    for (std::size_t i = 0; i < std::size(waits); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(mainQueue().runUntil([&] { return uploads() == i + 1 && logged("retrying"); }, 10s));
        advance(waits[i].first);
        EXPECT_EQ(uploads(), i + 1) << "too early";
        advance(waits[i].second);
        ASSERT_TRUE(mainQueue().runUntil([&] { return uploads() == i + 2; }, 10s));
    }
    ASSERT_TRUE(waitForFinishes(1));
    EXPECT_FALSE(m_delegate->finished()[0].error);
    EXPECT_EQ(m_backend->crashReports().reports().size(), 1u);
}

TEST_F(EMBNetworkClientTest, RetriesAnUploadThatTimedOut)
{
    // Only the first attempt is held past its time-out; the retry has room even on a busy machine.
    m_backend->delayRoute("POST", kReportsPath, 5, 1);
    auto client = makeClient();
    client->startUploadRequest(request(2), writePackage(), false);
    ASSERT_TRUE(waitForLog("retrying"));
    EXPECT_TRUE(m_delegate->finished().empty());
    advance(2.5);
    ASSERT_TRUE(waitForFinishes(1));
    EXPECT_FALSE(m_delegate->finished()[0].error);
    EXPECT_EQ(uploads(), 2u);
}

TEST_F(EMBNetworkClientTest, RunsOneUploadPerPackageAtATime)
{
    m_backend->delayRoute("POST", kReportsPath, 0.5, 2);
    auto client = makeClient();
    auto first = writePackage("A.multipartmime");
    auto second = writePackage("B.multipartmime");
    for (const auto& path : { first, first, second, first })
        client->startUploadRequest(request(), path, false);
    ASSERT_TRUE(waitForFinishes(2));
    advance(5);
    EXPECT_EQ(uploads(), 2u);
    EXPECT_EQ(m_delegate->finished().size(), 2u);

    client->startUploadRequest(request(), first, false);
    ASSERT_TRUE(waitForFinishes(3));
    EXPECT_EQ(uploads(), 3u) << "a finished upload may be started again";
}

TEST_F(EMBNetworkClientTest, UrgentUploadRunsOnTheCallingThreadWithoutTheMainQueue)
{
    auto client = makeClient();
    auto path = writePackage();
    // The main queue does not turn: the transfer is the caller's own.
    client->startUploadRequest(request(2), path, true);
    ASSERT_EQ(m_delegate->finished().size(), 1u);
    EXPECT_EQ(m_delegate->finished()[0].path, path);
    EXPECT_FALSE(m_delegate->finished()[0].error);
    EXPECT_EQ(m_backend->crashReports().reports().size(), 1u);

    // A failure, or an unreadable package, tells the delegate nothing and is not retried.
    m_backend->failRoute("POST", kReportsPath, 503, 1);
    client->startUploadRequest(request(2), path, true);
    client->startUploadRequest(request(2), path + ".missing", true);
    advance(60);
    EXPECT_EQ(m_delegate->finished().size(), 1u);
    EXPECT_EQ(uploads(), 2u);
    EXPECT_TRUE(logged("failed: status 503"));
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(EMBNetworkClientTest, PinsTheServerOnBothPaths)
{
    testing::TestCertificateAuthority pinned(m_directory.path(), "Pinned CA");
    testing::TestCertificateAuthority other(m_directory.path(), "Other CA");
    m_backend = std::make_unique<::testing::Backend>(pinned.issueServerIdentity("server"));
    auto certificate = [](const testing::TestCertificateAuthority& authority) {
        auto der = authority.certificateDer();
        return std::vector<CRNCertificate> { *CRNCertificateWithData(der.data(), der.size()) };
    };
    auto path = writePackage();

    auto trusting = makeClient(certificate(pinned));
    trusting->startUploadRequest(request(), path, false);
    ASSERT_TRUE(waitForFinishes(1));
    EXPECT_FALSE(m_delegate->finished()[0].error);
    trusting->startUploadRequest(request(), path, true);
    EXPECT_EQ(m_delegate->finished().size(), 2u);
    EXPECT_EQ(m_backend->crashReports().reports().size(), 2u);

    auto refusing = makeClient(certificate(other));
    refusing->startUploadRequest(request(), path, false);
    ASSERT_TRUE(waitForFinishes(3));
    EXPECT_TRUE(m_delegate->finished()[2].error);
    refusing->startUploadRequest(request(), path, true);
    EXPECT_EQ(m_delegate->finished().size(), 3u);
    EXPECT_EQ(m_backend->crashReports().reports().size(), 2u) << "no package reaches an unpinned server";
}

}
}
