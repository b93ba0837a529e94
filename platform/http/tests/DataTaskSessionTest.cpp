#include "platform/http/DataTaskSession.h"

#include "platform/foundation/MainQueue.h"
#include "testing/server/LoopbackServer.h"
#include "testing/server/RefusingPort.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

namespace platform::http::test {
namespace {

/// What one task's completion was told, and on which thread.
struct Outcome {
    std::string body;
    std::optional<HttpResponse> response;
    std::optional<foundation::Error> error;
    bool onMainThread { true };
};

Outcome send(UrlRequest request)
{
    DataTaskSession session(1);
    Outcome outcome;
    session.dataTask(std::move(request),
        [&](const std::string& body, const std::optional<HttpResponse>& response,
            const std::optional<foundation::Error>& error) {
            outcome = { body, response, error, foundation::mainQueue().isMainThread() };
        });
    session.waitUntilIdle();
    return outcome;
}

TEST(DataTaskSessionTest, AnAnswerOfAnyStatusArrivesOffTheMainThread)
{
    testing::LoopbackServer server;
    server.route("POST", "/echo", [](const testing::ServerRequest& request) {
        return testing::ServerResponse::text(
            418, "got " + request.body + " as " + request.header("Content-Type").value_or(""));
    });
    UrlRequest request;
    request.url = server.url("/echo");
    request.method = "POST";
    request.body = "a=1";
    request.setValue("application/text", "Content-Type");

    auto outcome = send(request);
    ASSERT_TRUE(outcome.response.has_value());
    EXPECT_FALSE(outcome.error.has_value());
    EXPECT_EQ(outcome.response->statusCode, 418);
    EXPECT_EQ(outcome.body, "got a=1 as application/text");
    EXPECT_FALSE(outcome.onMainThread) << "the main queue need not turn";
}

TEST(DataTaskSessionTest, NoAnswerIsATransportError)
{
    testing::RefusingPort port;
    UrlRequest request;
    request.url = port.url("/stats");
    auto outcome = send(request);
    EXPECT_FALSE(outcome.response.has_value());
    ASSERT_TRUE(outcome.error.has_value());
    EXPECT_EQ(outcome.error->domain(), UrlLoading::kErrorDomain);
    EXPECT_EQ(outcome.error->code(), UrlLoading::kCannotConnectToHost);
}

}
}
