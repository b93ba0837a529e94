#include "kit/core/CRNNetworkResponseHandler.h"

#include "platform/foundation/Dictionary.h"

#include <gtest/gtest.h>

using kit::CRNNetworkResponseHandler;
using platform::foundation::Error;
using platform::foundation::Value;
using platform::http::HttpResponse;
using platform::http::Task;
using platform::http::UrlLoading;
using ResponseType = CRNNetworkResponseHandler::ResponseType;

namespace {

HttpResponse response(int status, Task::Headers headers = {})
{
    return { "https://settings.example/spi/v2/settings", status, std::move(headers) };
}

struct Verdict {
    bool retry { false };
    std::optional<Error> error;
};

Verdict verdictOn(const HttpResponse* answer, const Task::Headers& request, std::size_t bodyLength,
    const std::optional<Error>& transportError = std::nullopt)
{
    Verdict verdict;
    int calls = 0;
    CRNNetworkResponseHandler::handleCompletedResponse(
        answer, request, bodyLength, transportError, [&](bool retry, const std::optional<Error>& error) {
            ++calls;
            verdict = { retry, error };
        });
    EXPECT_EQ(calls, 1);
    return verdict;
}

}

TEST(CRNNetworkResponseHandlerTest, StatusesAreClassified)
{
    const std::pair<int, ResponseType> cases[] = {
        { 200, ResponseType::Success },
        { 201, ResponseType::Success },
        { 202, ResponseType::Success },
        { 204, ResponseType::Success },
        { 304, ResponseType::Success },
        { 203, ResponseType::Failure },
        { 302, ResponseType::Failure },
        { 0, ResponseType::Failure },
        { 400, ResponseType::ClientError },
        { 401, ResponseType::ClientError },
        { 404, ResponseType::ClientError },
        { 422, ResponseType::ClientError },
        { 431, ResponseType::ClientError },
        { 405, ResponseType::Failure },
        { 420, ResponseType::RetryRateLimited },
        { 429, ResponseType::RetryRateLimited },
        { 408, ResponseType::Retry },
        { 500, ResponseType::Retry },
        { 503, ResponseType::Retry },
        { 599, ResponseType::Retry },
        { 600, ResponseType::Failure },
    };
    for (const auto& [status, type] : cases) {
        auto answer = response(status);
        EXPECT_EQ(CRNNetworkResponseHandler::clientResponseType(&answer), type) << status;
    }
    EXPECT_EQ(CRNNetworkResponseHandler::clientResponseType(nullptr), ResponseType::Failure);
}

TEST(CRNNetworkResponseHandlerTest, ContentTypesMatchTheRequest)
{
    const Task::Headers json { { "Accept", "application/json" }, { "Accept-Charset", "utf-8" } };
    const Task::Headers jsonAnyCharset { { "accept", "application/json" } };
    struct Case {
        const char* contentType;
        const Task::Headers& request;
        std::size_t bodyLength;
        bool matches;
    };
    const Case cases[] = {
        { "application/json; charset=utf-8", json, 10, true },
        { "application/json;charset=UTF-8", json, 10, true },
        { "Application/JSON", json, 10, true },
        { "application/json; charset=\"utf-8\"", json, 10, true },
        { "application/json; charset=iso-8859-1", json, 10, false },
        { "application/json; charset=iso-8859-1", jsonAnyCharset, 10, true },
        { "text/html", json, 10, false },
        { "text/html; charset=utf-8", json, 10, false },
        { "application/jsonp", json, 10, false },
        { nullptr, json, 10, false },
        { nullptr, json, 0, true },
        { "text/html", {}, 10, true },
    };
    for (const auto& test : cases) {
        Task::Headers headers;
        if (test.contentType)
            headers.emplace_back("Content-Type", test.contentType);
        EXPECT_EQ(CRNNetworkResponseHandler::contentTypeForResponse(
                      response(200, headers), test.request, test.bodyLength),
            test.matches)
            << (test.contentType ? test.contentType : "(none)") << " body " << test.bodyLength;
    }
}

TEST(CRNNetworkResponseHandlerTest, RetryAfterInSeconds)
{
    const std::pair<const char*, double> cases[] = {
        { nullptr, 2.0 },
        { "30", 30.0 },
        { " 7.5 ", 7.5 },
        { "0", 0.0 },
        { "-4", 2.0 },
        { "soon", 2.0 },
        { "Wed, 21 Oct 2026 07:28:00 GMT", 2.0 },
    };
    for (const auto& [header, seconds] : cases) {
        Task::Headers headers;
        if (header)
            headers.emplace_back("Retry-After", header);
        EXPECT_EQ(CRNNetworkResponseHandler::retryValueForResponse(response(503, headers)), seconds)
            << (header ? header : "(none)");
    }
}

TEST(CRNNetworkResponseHandlerTest, VerdictsAndTheirErrors)
{
    const Task::Headers request { { "Accept", "application/json" } };
    auto notFound = response(404, { { "X-Request-Id", "req-1" }, { "Content-Type", "application/json" } });
    auto verdict = verdictOn(&notFound, request, 20);
    EXPECT_FALSE(verdict.retry);
    ASSERT_TRUE(verdict.error);
    EXPECT_EQ(verdict.error->domain(), "CRNNetworkError");
    EXPECT_EQ(verdict.error->code(), -5);
    EXPECT_EQ(verdict.error->userInfo()->get("status_code"), Value(404));
    EXPECT_EQ(verdict.error->userInfo()->get("type"), Value(2));
    EXPECT_EQ(verdict.error->userInfo()->get("request_id"), Value("req-1"));
    EXPECT_EQ(verdict.error->userInfo()->get("content_type"), Value("application/json"));

    struct Case {
        int status;
        const char* contentType;
        bool retry;
        std::optional<std::int64_t> code;
    };
    const Case cases[] = {
        { 200, "application/json", false, std::nullopt },
        { 204, nullptr, false, std::nullopt },
        { 200, "text/html", false, -4 },
        { 203, "application/json", false, -4 },
        { 429, "application/json", true, -1 },
        { 503, nullptr, true, -1 },
        { 401, nullptr, false, -5 },
    };
    for (const auto& test : cases) {
        Task::Headers headers;
        if (test.contentType)
            headers.emplace_back("Content-Type", test.contentType);
        auto answer = response(test.status, headers);
        auto seen = verdictOn(&answer, request, test.status == 204 ? 0 : 12);
        EXPECT_EQ(seen.retry, test.retry) << test.status;
        EXPECT_EQ(seen.error ? std::optional(seen.error->code()) : std::nullopt, test.code) << test.status;
        if (seen.error) {
            EXPECT_EQ(seen.error->userInfo()->get("request_id"), Value("")) << "absent ids read as empty";
        }
    }
}

TEST(CRNNetworkResponseHandlerTest, OnlyTimeOutsAmongTransportErrorsAreRetried)
{
    const std::pair<Error, bool> cases[] = {
        { Error(UrlLoading::kErrorDomain, UrlLoading::kTimedOut), true },
        { Error(UrlLoading::kErrorDomain, UrlLoading::kNetworkConnectionLost), false },
        { Error(UrlLoading::kErrorDomain, UrlLoading::kCancelled), false },
        { Error("OtherDomain", UrlLoading::kTimedOut), false },
    };
    for (const auto& [error, retry] : cases) {
        auto verdict = verdictOn(nullptr, {}, 0, error);
        EXPECT_EQ(verdict.retry, retry) << error.domain() << " " << error.code();
        ASSERT_TRUE(verdict.error);
        EXPECT_EQ(verdict.error->code(), error.code()) << "handed on unchanged";
        EXPECT_EQ(verdict.error->domain(), error.domain());
    }
}
