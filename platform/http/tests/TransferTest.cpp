// How a request travels: redirects, the size limit on answers, and transfers that break after their headers.

#include "platform/http/SessionManager.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "testing/server/LoopbackServer.h"
#include "testing/server/RawAnswerServer.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace platform::http;
using platform::foundation::Dictionary;
using platform::foundation::mainQueue;
using platform::foundation::Value;
using testing::LoopbackServer;
using testing::RawAnswerServer;
using testing::ServerRequest;
using testing::ServerResponse;

namespace {

struct Outcome {
    int calls { 0 };
    bool succeeded { false };
    Value value;
    HttpError error;
    int taskStatus { -1 };
    std::size_t taskHeaders { 0 };
};

class TransferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.route(
            "*", "/to", [](const ServerRequest&) { return ServerResponse::json(200, Dictionary::make()); });
    }

    Outcome send(std::string_view method, const std::string& url, const Value& parameters = {})
    {
        Outcome outcome;
        auto record = [&outcome](const Task& task) {
            outcome.calls++;
            outcome.taskStatus = task.statusCode();
            outcome.taskHeaders = task.responseHeaders().size();
        };
        manager->request(
            method, url, parameters,
            [&](const Task& task, const Value& value) {
                record(task);
                outcome.succeeded = true;
                outcome.value = value;
            },
            [&](const Task& task, const HttpError& error) {
                record(task);
                outcome.error = error;
            });
        // A bound for a transfer that never ends, wide enough for 32 MiB on a loaded machine.
        EXPECT_TRUE(mainQueue().runUntil([&] { return outcome.calls > 0; }, std::chrono::seconds(30)));
        mainQueue().runUntilIdle();
        return outcome;
    }

    static ServerResponse redirectTo(int status, std::string location)
    {
        auto response = ServerResponse::text(status, "moved", "text/plain");
        response.headers.emplace_back("Location", std::move(location));
        return response;
    }

    LoopbackServer server;
    std::shared_ptr<SessionManager> manager { std::make_shared<SessionManager>() };
};

TEST_F(TransferTest, RedirectsChangeTheMethodAsThePhoneDoes)
{
    struct Case {
        int status;
        const char* method;
        const char* followedWith; // the method of the request to the new address
        bool keepsBody;
    };
    const Case cases[] = {
        { 301, "POST", "GET", false },
        { 302, "POST", "GET", false },
        { 303, "POST", "GET", false },
        { 307, "POST", "POST", true },
        { 308, "POST", "POST", true },
        { 301, "PUT", "GET", false },
        { 302, "PUT", "GET", false },
        { 303, "PUT", "GET", false },
        { 307, "PUT", "PUT", true },
        { 308, "PUT", "PUT", true },
        { 301, "GET", "GET", false },
        { 302, "DELETE", "DELETE", false },
        { 303, "DELETE", "GET", false },
        { 307, "DELETE", "DELETE", false },
    };
    const Value parameters = Dictionary::make({ { "reference", "INV-001" } });
    for (const auto& testCase : cases) {
        SCOPED_TRACE(std::to_string(testCase.status) + " after " + testCase.method);
        server.clearRequests();
        server.scriptNext(redirectTo(testCase.status, "/to"));
        bool withBody
            = std::string_view(testCase.method) == "POST" || std::string_view(testCase.method) == "PUT";
        auto outcome = send(testCase.method, server.url("/from"), withBody ? parameters : Value());
        EXPECT_TRUE(outcome.succeeded) << outcome.error.message();
        EXPECT_EQ(outcome.taskStatus, 200);
        ASSERT_EQ(server.requestCount(), 2u);
        ServerRequest followed = server.requests()[1];
        EXPECT_EQ(followed.path, "/to");
        EXPECT_EQ(followed.method, testCase.followedWith);
        if (testCase.keepsBody) {
            EXPECT_EQ(followed.json(), parameters);
            EXPECT_EQ(followed.header("Content-Type"), "application/json");
        } else {
            EXPECT_EQ(followed.body, "");
            EXPECT_EQ(followed.header("Content-Type"), std::nullopt);
        }
        EXPECT_EQ(followed.header("Accept"), "application/json");
    }
}

TEST_F(TransferTest, CredentialsGoOnlyToTheOriginTheyWereSetFor)
{
    LoopbackServer elsewhere;
    elsewhere.route(
        "*", "/*", [](const ServerRequest&) { return ServerResponse::json(200, Dictionary::make()); });
    manager->setHeader("Authorization", "token-1");

    server.scriptNext(redirectTo(302, "/to"));
    EXPECT_TRUE(send("GET", server.url("/from")).succeeded);
    EXPECT_EQ(server.lastRequest()->header("Authorization"), "token-1");

    server.scriptNext(redirectTo(307, elsewhere.url("/to")));
    EXPECT_TRUE(send("PUT", server.url("/from"), Dictionary::make({ { "a", 1 } })).succeeded);
    ASSERT_EQ(elsewhere.requestCount(), 1u);
    EXPECT_EQ(elsewhere.lastRequest()->method, "PUT");
    EXPECT_EQ(elsewhere.lastRequest()->header("Authorization"), std::nullopt);
    EXPECT_EQ(elsewhere.lastRequest()->header("Accept"), "application/json");
}

TEST_F(TransferTest, RedirectsThatGoNowhereFail)
{
    server.route("GET", "/loop", [](const ServerRequest&) { return redirectTo(302, "/loop"); });
    auto loop = send("GET", server.url("/loop"));
    EXPECT_FALSE(loop.succeeded);
    EXPECT_EQ(loop.error.message(), "There were too many redirects.");
    EXPECT_EQ(loop.taskStatus, 0);
    EXPECT_EQ(server.requestCount(), 11u);

    server.scriptNext(redirectTo(301, "ftp://127.0.0.1/file"));
    auto elsewhere = send("GET", server.url("/from"));
    EXPECT_FALSE(elsewhere.succeeded);
    EXPECT_EQ(elsewhere.error.code(), HttpError::Code::Other);
    EXPECT_EQ(elsewhere.error.statusCode(), 0);

    // A redirect status without a place to go is an answer like any other.
    server.scriptNext(ServerResponse::empty(302));
    auto nowhere = send("GET", server.url("/from"));
    EXPECT_EQ(nowhere.error.code(), HttpError::Code::BadStatus);
    EXPECT_EQ(nowhere.error.statusCode(), 302);
}

std::string chunked(const std::string& body)
{
    std::string text
        = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (std::size_t at = 0; at < body.size(); at += 100) {
        std::string chunk = body.substr(at, 100);
        char size[16];
        std::snprintf(size, sizeof size, "%zx", chunk.size());
        text += std::string(size) + "\r\n" + chunk + "\r\n";
    }
    return text + "0\r\n\r\n";
}

std::string jsonString(std::size_t length)
{
    return "\"" + std::string(length - 2, 'x') + "\"";
}

TEST_F(TransferTest, AnAnswerLargerThanTheLimitFails)
{
    manager->setMaximumResponseSize(1000);
    RawAnswerServer unsized(chunked(jsonString(1001)));
    RawAnswerServer fitting(chunked(jsonString(1000)));
    server.route("GET", "/sized",
        [](const ServerRequest&) { return ServerResponse::text(200, jsonString(1001), "application/json"); });
    for (const std::string& url : { server.url("/sized"), unsized.url("/unsized") }) {
        SCOPED_TRACE(url);
        auto outcome = send("GET", url);
        EXPECT_FALSE(outcome.succeeded);
        EXPECT_EQ(outcome.error.code(), HttpError::Code::ResponseTooLarge);
        EXPECT_EQ(outcome.error.message(),
            "The server's answer is larger than the 1000 bytes this session accepts.");
        EXPECT_EQ(outcome.error.statusCode(), 0);
        EXPECT_EQ(outcome.error.body(), "");
        EXPECT_EQ(outcome.taskStatus, 0);
    }
    auto fits = send("GET", fitting.url("/fits"));
    EXPECT_TRUE(fits.succeeded) << fits.error.message();
    EXPECT_EQ(fits.value, Value(std::string(998, 'x')));
}

TEST_F(TransferTest, TheDefaultLimitIs32MiB)
{
    EXPECT_EQ(manager->maximumResponseSize(), 32u * 1024 * 1024);
    server.route("GET", "/huge", [](const ServerRequest&) {
        return ServerResponse::text(200, jsonString(32 * 1024 * 1024 + 1), "application/json");
    });
    auto outcome = send("GET", server.url("/huge"));
    EXPECT_EQ(outcome.error.code(), HttpError::Code::ResponseTooLarge);
    EXPECT_EQ(outcome.error.message(), "The server's answer is larger than the 32 MiB this session accepts.");
}

TEST_F(TransferTest, ATransferThatBreaksAfterItsHeadersIsATransportFailure)
{
    struct Case {
        const char* name;
        std::string answer;
        double stall;
        HttpError::Code code;
    };
    const std::string headers = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n";
    const Case cases[] = {
        { "short body", headers + "Content-Length: 100\r\n\r\n{\"id\":1}", 0,
            HttpError::Code::CannotConnect },
        { "bad chunking", headers + "Transfer-Encoding: chunked\r\n\r\n8\r\n{\"id\":1}\r\nzz\r\n", 0,
            HttpError::Code::CannotConnect },
        { "stalled body", headers + "Content-Length: 100\r\n\r\n{\"id\":", 5, HttpError::Code::TimedOut },
    };
    manager->setTimeout(0.3);
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        RawAnswerServer raw(testCase.answer, testCase.stall);
        auto outcome = send("GET", raw.url("/api/invoices"));
        EXPECT_FALSE(outcome.succeeded);
        EXPECT_EQ(outcome.error.code(), testCase.code);
        EXPECT_EQ(outcome.error.statusCode(), 0);
        EXPECT_EQ(outcome.taskStatus, 0);
        EXPECT_EQ(outcome.taskHeaders, 0u);
        EXPECT_EQ(outcome.error.body(), "");
        // The cause, in libcurl's words, follows the general message.
        EXPECT_NE(outcome.error.message().find(" ("), std::string::npos) << outcome.error.message();
    }
}

}
