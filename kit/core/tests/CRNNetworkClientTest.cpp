#include "kit/core/CRNNetworkClient.h"

#include "kit/core/CRNNetworkResponseHandler.h"
#include "kit/core/CRNRetryBackoff.h"
#include "kit/core/Cairn.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"

#include "testing/TemporaryDirectory.h"
#include "testing/server/LoopbackServer.h"
#include "testing/server/TestCertificateAuthority.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace kit;
using platform::foundation::Error;
using platform::foundation::mainQueue;
using platform::http::HttpResponse;
using platform::http::UrlLoading;
using platform::http::UrlRequest;
using testing::LoopbackServer;
using testing::ServerResponse;
using Handler = CRNNetworkResponseHandler;

namespace {

struct Outcome {
    std::atomic<int> calls { 0 };
    std::optional<std::string> data;
    std::optional<HttpResponse> response;
    std::optional<Error> error;
};

class CRNNetworkClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server.route("GET", "/settings", [](const auto&) {
            return ServerResponse::text(200, R"({"fetch_settings":true})", "application/json; charset=utf-8");
        });
        // Held until the server stops: a try of it can only time out.
        m_server.script("GET", "/unanswered", ServerResponse::text(200, "late").delayed(3600));
    }

    UrlRequest request(std::string_view path, double timeout = 5) const
    {
        UrlRequest request;
        request.url = m_server.url(path);
        request.timeoutInterval = timeout;
        request.headers = { { "Accept", "application/json" }, { "Accept-Charset", "utf-8" } };
        return request;
    }

    void start(const UrlRequest& asked, std::size_t retryLimit = CRNNetworkClient::kMaximumRetryCount)
    {
        m_client->startDataTaskWithRequest(asked, retryLimit,
            [this](const std::optional<std::string>& data, const std::optional<HttpResponse>& response,
                const std::optional<Error>& error) {
                m_outcome.data = data;
                m_outcome.response = response;
                m_outcome.error = error;
                ++m_outcome.calls;
            });
    }

    bool ended()
    {
        return mainQueue().runUntil([&] { return m_outcome.calls > 0; });
    }
    /// Waits until a retry has been put on the main queue's clock, which stands still meanwhile.
    static bool retryScheduled()
    {
        return mainQueue().runUntil([] { return mainQueue().pendingCount() > 0; });
    }
    /// Moves the clock by `seconds`, then gives the server `count` requests in all the chance to arrive.
    bool advanceAndWaitForRequests(double seconds, std::size_t count, std::chrono::milliseconds wait)
    {
        mainQueue().advance(seconds);
        return mainQueue().runUntil([&] { return m_server.requestCount() >= count; }, wait);
    }

    static std::int64_t statusIn(const Error& error)
    {
        return error.userInfo()->get("status_code").integerValue();
    }

    LoopbackServer m_server;
    std::shared_ptr<CRNNetworkClient> m_client { CRNNetworkClient::create() };
    Outcome m_outcome;
};

}

TEST(CRNRetryBackoffTest, DelaysGrowFromTwoSecondsOrTheServersWishUpToAnHour)
{
    struct Case {
        double retryAfter;
        std::size_t tryCount;
        double jitter;
        double delay;
    };
    const Case cases[] = {
        { 2, 0, 1, 2 },
        { 2, 1, 1, 2 },
        { 2, 2, 1, 4 },
        { 2, 3, 1, 8 },
        { 2, 4, 0.9, 14.4 },
        // The server's Retry-After is a floor, not a base raised to the try count.
        { 30, 0, 1, 30 },
        { 30, 1, 1, 30 },
        { 30, 2, 1.1, 33 },
        { 30, 5, 1, 32 },
        { 0, 0, 1, 2 },
        { 2, 12, 1, kCRNMaximumRetryDelay },
        { 2, 1000, 1.1, kCRNMaximumRetryDelay },
        { 86400, 0, 0.9, kCRNMaximumRetryDelay },
    };
    for (const auto& [retryAfter, tryCount, jitter, delay] : cases)
        EXPECT_DOUBLE_EQ(CRNRetryDelay(retryAfter, tryCount, jitter), delay) << retryAfter << " " << tryCount;
}

TEST(CRNRetryBackoffTest, JitterIsUniformBetweenNineAndElevenTenthsAndRepeatsFromASeed)
{
    CRNSeedRetryJitter(42);
    std::vector<double> first;
    double low = 2;
    double high = 0;
    double sum = 0;
    for (int draw = 0; draw < 10000; ++draw) {
        double jitter = CRNRetryJitter();
        if (draw < 5)
            first.push_back(jitter);
        low = std::min(low, jitter);
        high = std::max(high, jitter);
        sum += jitter;
    }
    EXPECT_GE(low, 0.9f);
    EXPECT_LT(high, 1.1f);
    EXPECT_LT(low, 0.905);
    EXPECT_GT(high, 1.095);
    EXPECT_NEAR(sum / 10000, 1.0, 0.005);

    CRNSeedRetryJitter(42);
    for (double expected : first)
        EXPECT_EQ(CRNRetryJitter(), expected);
}

TEST_F(CRNNetworkClientTest, ASuccessHandsOnTheBodyAndTheAnswer)
{
    start(request("/settings"));
    ASSERT_TRUE(ended());
    EXPECT_FALSE(m_outcome.error);
    EXPECT_EQ(m_outcome.data, R"({"fetch_settings":true})");
    EXPECT_EQ(m_outcome.response->statusCode, 200);
}

TEST_F(CRNNetworkClientTest, AnswersThatAreNotRetriedEndAtOnceWithTheirError)
{
    struct Case {
        const char* name;
        ServerResponse answer;
        std::optional<std::int64_t> code;
    };
    const Case cases[] = {
        { "not found", ServerResponse::text(404, R"({"error":"no app"})", "application/json"),
            Handler::kClientErrorCode },
        { "non-authoritative", ServerResponse::text(203, "{}", "application/json"), Handler::kFailureCode },
        { "wrong content type", ServerResponse::text(200, "<html/>", "text/html"), Handler::kFailureCode },
        { "other charset", ServerResponse::text(200, "{}", "application/json; charset=latin1"),
            Handler::kFailureCode },
        { "parameters", ServerResponse::text(200, "{}", "application/json;charset=UTF-8"), std::nullopt },
        { "no content", ServerResponse::empty(204), std::nullopt },
        { "empty created", ServerResponse::text(201, "", "text/plain"), std::nullopt },
    };
    for (const auto& [name, answer, code] : cases) {
        SCOPED_TRACE(name);
        m_server.clearRequests();
        m_server.scriptNext(answer);
        m_outcome.calls = 0;
        start(request("/answer"));
        ASSERT_TRUE(ended());
        if (code) {
            ASSERT_TRUE(m_outcome.error);
            EXPECT_EQ(m_outcome.error->domain(), Handler::kErrorDomain);
            EXPECT_EQ(m_outcome.error->code(), *code);
            EXPECT_EQ(statusIn(*m_outcome.error), answer.status);
        } else {
            EXPECT_FALSE(m_outcome.error) << m_outcome.error->code();
        }
        EXPECT_EQ(m_outcome.response->statusCode, answer.status);
        mainQueue().advance(60);
        EXPECT_EQ(m_server.requestCount(), 1u);
    }
}

TEST_F(CRNNetworkClientTest, AServiceUnavailableIsRetriedAfterItsRetryAfter)
{
    m_server.scriptNext({ 503, { { "Retry-After", "30" }, { "X-Request-Id", "r-1" } }, "", "text/plain" });
    start(request("/settings"));
    ASSERT_TRUE(mainQueue().runUntil([&] { return m_server.requestCount() == 1; }));
    ASSERT_TRUE(retryScheduled());
    EXPECT_EQ(m_outcome.calls, 0);

    EXPECT_FALSE(advanceAndWaitForRequests(26.99, 2, std::chrono::milliseconds(200)));
    EXPECT_TRUE(advanceAndWaitForRequests(33 - 26.99, 2, std::chrono::seconds(30)));
    ASSERT_TRUE(ended());
    EXPECT_FALSE(m_outcome.error);
    EXPECT_EQ(m_outcome.data, R"({"fetch_settings":true})");
}

TEST_F(CRNNetworkClientTest, RateLimitsAndTimeOutsAreRetried)
{
    m_server.scriptNext(ServerResponse::empty(429));
    start(request("/settings"));
    ASSERT_TRUE(retryScheduled());
    EXPECT_TRUE(advanceAndWaitForRequests(2.2, 2, std::chrono::seconds(30)));
    ASSERT_TRUE(ended());
    EXPECT_FALSE(m_outcome.error);
    EXPECT_EQ(m_server.requestCount(), 2u);

    // A try that times out is retried too, whether or not it reached the server before its 0.2 s ran out.
    m_outcome.calls = 0;
    start(request("/unanswered", 0.2), 2);
    for (int retry = 0; retry < 2; ++retry) {
        ASSERT_TRUE(retryScheduled()) << retry;
        EXPECT_EQ(m_outcome.calls, 0);
        mainQueue().advance(2.2);
    }
    ASSERT_TRUE(ended());
    EXPECT_EQ(m_outcome.error->code(), Handler::kRetryLimitReachedCode);
}

TEST_F(CRNNetworkClientTest, ALostConnectionIsHandedOnAtOnce)
{
    m_server.scriptNext(ServerResponse::dropped(), 2);
    start(request("/settings"));
    ASSERT_TRUE(ended());
    ASSERT_TRUE(m_outcome.error);
    EXPECT_EQ(m_outcome.error->domain(), UrlLoading::kErrorDomain);
    EXPECT_EQ(m_outcome.error->code(), UrlLoading::kNetworkConnectionLost);
    mainQueue().advance(60);
    EXPECT_EQ(m_server.requestCount(), 1u);
}

TEST_F(CRNNetworkClientTest, PastTheRetryLimitTheLastStatusStaysWithTheError)
{
    // Limit 1: two tries, both timing out.
    start(request("/unanswered", 0.2), 1);
    ASSERT_TRUE(retryScheduled());
    EXPECT_EQ(m_outcome.calls, 0);
    mainQueue().advance(2.2);
    ASSERT_TRUE(ended());
    ASSERT_TRUE(m_outcome.error);
    EXPECT_EQ(m_outcome.error->domain(), Handler::kErrorDomain);
    EXPECT_EQ(m_outcome.error->code(), Handler::kRetryLimitReachedCode);
    EXPECT_EQ(statusIn(*m_outcome.error), 0);
    ASSERT_EQ(m_outcome.error->underlying().size(), 1u);
    EXPECT_EQ(m_outcome.error->underlying()[0].code(), UrlLoading::kTimedOut);
    EXPECT_FALSE(m_outcome.data);
    EXPECT_FALSE(m_outcome.response);
    EXPECT_EQ(mainQueue().pendingCount(), 0u) << "no third try";

    // Limit 0: one try of a server error, whose status and request id are kept. A try of the first part may
    // still reach the server now, so this part has a path of its own.
    m_outcome.calls = 0;
    m_server.script("GET", "/failing", { 500, { { "X-Request-Id", "r-9" } }, "", "text/plain" });
    start(request("/failing"), 0);
    ASSERT_TRUE(ended());
    ASSERT_TRUE(m_outcome.error);
    EXPECT_EQ(m_outcome.error->code(), Handler::kRetryLimitReachedCode);
    EXPECT_EQ(statusIn(*m_outcome.error), 500);
    EXPECT_EQ(m_outcome.error->userInfo()->get("request_id").stringValue(), "r-9");
    auto requests = m_server.requests();
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(), [](const auto& r) { return r.path == "/failing"; }),
        1);
}

TEST_F(CRNNetworkClientTest, DownloadsAreHandedOnInAFileThatExistsMeanwhile)
{
    std::atomic<int> calls { 0 };
    std::string content;
    std::optional<Error> failure;
    m_client->startDownloadTaskWithRequest(request("/settings"),
        [&](const std::filesystem::path& location, const std::optional<HttpResponse>&,
            const std::optional<Error>& error) {
            std::ifstream file(location);
            content.assign(std::istreambuf_iterator<char>(file), {});
            failure = error;
            ++calls;
        });
    ASSERT_TRUE(mainQueue().runUntil([&] { return calls == 1; }));
    EXPECT_FALSE(failure);
    EXPECT_EQ(content, R"({"fetch_settings":true})");
}

TEST_F(CRNNetworkClientTest, InvalidatingCancelsWhatRuns)
{
    // Held until the server stops: the request is still under way when it is cancelled, however late.
    m_server.scriptNext(ServerResponse::text(200, "{}", "application/json").delayed(3600));
    start(request("/settings"));
    ASSERT_TRUE(mainQueue().runUntil([&] { return m_server.requestCount() == 1; }));
    m_client->invalidateAndCancel();
    ASSERT_TRUE(ended());
    EXPECT_EQ(m_outcome.error->code(), UrlLoading::kCancelled);
}

// Servers under test authorities; none of them is among the system's roots.
class CRNNetworkClientPinningTest : public CRNNetworkClientTest {
protected:
    void TearDown() override { Cairn::sharedSDK().setDebug(false); }

    static CRNCertificate certificateOf(const testing::TestCertificateAuthority& authority)
    {
        auto der = authority.certificateDer();
        return *CRNCertificate::withData(der.data(), der.size());
    }

    std::optional<Error> fetch(const std::shared_ptr<CRNNetworkClient>& client)
    {
        UrlRequest asked;
        asked.url = m_tls.url("/settings");
        asked.timeoutInterval = 5;
        std::atomic<int> calls { 0 };
        std::optional<Error> failure;
        client->startDataTaskWithRequest(
            asked, [&](const auto&, const auto&, const std::optional<Error>& error) {
                failure = error;
                ++calls;
            });
        EXPECT_TRUE(mainQueue().runUntil([&] { return calls == 1; }));
        // A refusal is not retried.
        mainQueue().advance(60);
        mainQueue().runUntil([] { return false; }, std::chrono::milliseconds(100));
        EXPECT_EQ(calls, 1);
        return failure;
    }

    testing::TemporaryDirectory m_folder;
    testing::TestCertificateAuthority m_pinned { m_folder.path(), "Pinned Test CA" };
    testing::TestCertificateAuthority m_other { m_folder.path(), "Other Test CA" };
    LoopbackServer m_tls { m_pinned.issueServerIdentity("kit-service") };
};

TEST_F(CRNNetworkClientPinningTest, OnlyAServerUnderAPinnedCertificateIsAccepted)
{
    m_tls.route(
        "GET", "/settings", [](const auto&) { return ServerResponse::text(200, "{}", "application/json"); });

    EXPECT_FALSE(fetch(CRNNetworkClient::create(nullptr, std::vector { certificateOf(m_pinned) })));

    auto refused = fetch(CRNNetworkClient::create(nullptr, std::vector { certificateOf(m_other) }));
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->domain(), UrlLoading::kErrorDomain);
    EXPECT_EQ(refused->code(), UrlLoading::kCancelled);

    auto unpinned = fetch(CRNNetworkClient::create());
    ASSERT_TRUE(unpinned);
    EXPECT_EQ(unpinned->code(), UrlLoading::kSecureConnectionFailed);
    EXPECT_EQ(m_tls.requestCount(), 1u);

    // In debug mode the system's trust store decides, pins or not.
    Cairn::sharedSDK().setDebug(true);
    auto debug = fetch(CRNNetworkClient::create(nullptr, std::vector { certificateOf(m_pinned) }));
    ASSERT_TRUE(debug);
    EXPECT_EQ(debug->code(), UrlLoading::kSecureConnectionFailed);
    EXPECT_EQ(m_tls.requestCount(), 1u);
}
