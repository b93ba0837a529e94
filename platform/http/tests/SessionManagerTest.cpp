#include "platform/http/SessionManager.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/MainQueue.h"
#include "testing/server/Gate.h"
#include "testing/server/LoopbackServer.h"
#include "testing/server/RefusingPort.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

using namespace platform::http;
using platform::foundation::Array;
using platform::foundation::Dictionary;
using platform::foundation::mainQueue;
using platform::foundation::parseJson;
using platform::foundation::Value;
using testing::Gate;
using testing::LoopbackServer;
using testing::ServerRequest;
using testing::ServerResponse;

namespace {

// What one request ended in, as seen by its callbacks.
struct Outcome {
    int calls { 0 };
    bool succeeded { false };
    Value value;
    HttpError error;
    int taskStatus { -1 };
    bool onMainThread { false };
};

// Runs `act` once, on the main thread, as soon as the session has read `answers` answers: their completions
// are queued on the main queue and none has run yet. Registered after the session's engine, it looks right
// after the engine has handled what the queue's wait found.
class AnswersRead : public platform::foundation::EventSource {
public:
    AnswersRead(std::size_t answers, std::function<void()> act)
        : m_answers(answers)
        , m_act(std::move(act))
    {
        mainQueue().addSource(*this);
    }
    ~AnswersRead() override { mainQueue().removeSource(*this); }

    bool acted() const { return m_acted; }

    std::optional<Deadline> prepare(std::vector<pollfd>&) override { return std::nullopt; }
    void dispatch(std::span<const pollfd>) override
    {
        if (m_acted || mainQueue().pendingCount() < m_answers)
            return;
        m_acted = true;
        m_act();
    }

private:
    std::size_t m_answers;
    std::function<void()> m_act;
    bool m_acted { false };
};

class SessionManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.route(
            "*", "/*", [](const ServerRequest&) { return ServerResponse::json(200, Dictionary::make()); });
    }

    // Sends one request and runs the main queue until its outcome arrives.
    Outcome send(std::string_view method, std::string_view path, const Value& parameters = {})
    {
        auto outcome = std::make_shared<Outcome>();
        start(method, server.url(path), parameters, outcome);
        EXPECT_TRUE(mainQueue().runUntil([&] { return outcome->calls > 0; }));
        mainQueue().runUntilIdle();
        return *outcome;
    }

    std::shared_ptr<Task> start(std::string_view method, std::string_view url, const Value& parameters,
        const std::shared_ptr<Outcome>& outcome)
    {
        return manager->request(
            method, url, parameters,
            [outcome](const Task& task, const Value& value) {
                outcome->calls++;
                outcome->succeeded = true;
                outcome->value = value;
                outcome->taskStatus = task.statusCode();
                outcome->onMainThread = mainQueue().isMainThread();
            },
            [outcome](const Task& task, const HttpError& error) {
                outcome->calls++;
                outcome->error = error;
                outcome->taskStatus = task.statusCode();
                outcome->onMainThread = mainQueue().isMainThread();
            });
    }

    ServerRequest lastRequest() { return server.lastRequest().value_or(ServerRequest {}); }

    LoopbackServer server;
    std::shared_ptr<SessionManager> manager { std::make_shared<SessionManager>() };
};

Value sampleParameters()
{
    return Dictionary::make({
        { "filter", Dictionary::make({ { "where", Dictionary::make({ { "is_deleted", 0 } }) } }) },
        { "filter[limit]", 10 },
        { "name", "Ann & Co = 100% é" },
    });
}

TEST_F(SessionManagerTest, GetAndDeleteSendTheParametersInTheQuery)
{
    for (const char* method : { "GET", "DELETE" }) {
        auto outcome = send(method, "/api/invoices", sampleParameters());
        EXPECT_TRUE(outcome.succeeded) << method << ": " << outcome.error.message();
        ServerRequest request = lastRequest();
        EXPECT_EQ(request.method, method);
        EXPECT_EQ(request.path, "/api/invoices");
        EXPECT_EQ(request.queryValue("filter[where][is_deleted]"), "0");
        EXPECT_EQ(request.queryValue("filter[limit]"), "10");
        EXPECT_EQ(request.queryValue("name"), "Ann & Co = 100% é");
        EXPECT_NE(request.rawQuery.find("filter%5Bwhere%5D%5Bis_deleted%5D=0"), std::string::npos);
        EXPECT_EQ(request.query.size(), 3u);
        EXPECT_EQ(request.body, "");
        EXPECT_EQ(request.header("Content-Type"), std::nullopt);
        EXPECT_EQ(request.header("Accept"), "application/json");
    }
}

TEST_F(SessionManagerTest, PostAndPutSendTheParametersAsAJsonBody)
{
    for (const char* method : { "POST", "PUT" }) {
        auto outcome = send(method, "/api/invoices", sampleParameters());
        EXPECT_TRUE(outcome.succeeded) << method << ": " << outcome.error.message();
        ServerRequest request = lastRequest();
        EXPECT_EQ(request.method, method);
        EXPECT_EQ(request.rawQuery, "");
        EXPECT_EQ(request.json(), sampleParameters());
        EXPECT_EQ(request.header("Content-Type"), "application/json");
        EXPECT_EQ(request.header("Accept"), "application/json");
    }
}

TEST_F(SessionManagerTest, NullParametersSendNoQueryAndNoBody)
{
    for (const char* method : { "GET", "POST", "PUT", "DELETE" }) {
        send(method, "/api/invoices?page=2");
        ServerRequest request = lastRequest();
        EXPECT_EQ(request.rawQuery, "page=2") << method;
        EXPECT_EQ(request.body, "") << method;
        EXPECT_EQ(request.header("Content-Type"), std::nullopt) << method;
    }
}

TEST_F(SessionManagerTest, ParametersJoinAQueryTheUrlAlreadyHas)
{
    send("GET", "/api/invoices?page=2", Dictionary::make({ { "size", 20 } }));
    EXPECT_EQ(lastRequest().rawQuery, "page=2&size=20");
}

TEST_F(SessionManagerTest, DefaultHeadersGoWithEveryLaterRequest)
{
    send("GET", "/before");
    EXPECT_EQ(lastRequest().header("Authorization"), std::nullopt);

    manager->setHeader("Authorization", "token-1");
    EXPECT_EQ(manager->header("authorization"), "token-1");
    send("POST", "/after", Dictionary::make({ { "a", 1 } }));
    send("DELETE", "/after");
    for (const auto& request : server.requests()) {
        if (request.path == "/after") {
            EXPECT_EQ(request.header("Authorization"), "token-1") << request.method;
        }
    }

    manager->setHeader("AUTHORIZATION", "token-2");
    send("PUT", "/replaced");
    EXPECT_EQ(lastRequest().header("Authorization"), "token-2");

    manager->setHeader("Accept", "application/vnd.zorvik+json");
    send("GET", "/accept");
    EXPECT_EQ(lastRequest().header("Accept"), "application/vnd.zorvik+json");

    manager->removeHeader("authorization");
    EXPECT_EQ(manager->header("Authorization"), std::nullopt);
    send("GET", "/removed");
    EXPECT_EQ(lastRequest().header("Authorization"), std::nullopt);
}

struct StatusCase {
    ServerResponse response;
    bool succeeds;
    int status;
    const char* expected; // the success value or the error's body object, as JSON ("" for null)
};

TEST_F(SessionManagerTest, MapsAnswersToSuccessOrFailure)
{
    const StatusCase cases[] = {
        { ServerResponse::text(200, R"({"id":7,"net":1.5,"paid":true,"lines":[]})", "application/json"), true,
            200, R"({"id":7,"lines":[],"net":1.5,"paid":true})" },
        { ServerResponse::text(201, R"([{"id":1},{"id":2}])", "application/json"), true, 201,
            R"([{"id":1},{"id":2}])" },
        { ServerResponse::empty(204), true, 204, "" },
        { ServerResponse::text(200, " ", "application/json"), true, 200, "" },
        { ServerResponse::text(404, R"({"error":"not found"})", "application/json"), false, 404,
            R"({"error":"not found"})" },
        { ServerResponse::text(422, R"({"error":"exists"})", "application/json"), false, 422,
            R"({"error":"exists"})" },
        { ServerResponse::empty(401), false, 401, "" },
        { ServerResponse::text(500, "Internal trouble", "text/plain"), false, 500, "" },
    };
    for (const auto& testCase : cases) {
        server.scriptNext(testCase.response);
        auto outcome = send("GET", "/api/resource");
        SCOPED_TRACE("status " + std::to_string(testCase.status));
        EXPECT_EQ(outcome.calls, 1);
        EXPECT_EQ(outcome.succeeded, testCase.succeeds);
        EXPECT_EQ(outcome.taskStatus, testCase.status);
        Value expected = *testCase.expected ? parseJson(testCase.expected).value : Value();
        if (testCase.succeeds) {
            EXPECT_EQ(outcome.value, expected);
        } else {
            EXPECT_EQ(outcome.error.code(), HttpError::Code::BadStatus);
            EXPECT_EQ(outcome.error.statusCode(), testCase.status);
            EXPECT_EQ(outcome.error.body(), testCase.response.body);
            EXPECT_EQ(outcome.error.bodyObject(), expected);
        }
    }
}

TEST_F(SessionManagerTest, AFailedStatusNamesItselfInTheMessage)
{
    server.scriptNext(ServerResponse::empty(404));
    EXPECT_EQ(send("GET", "/missing").error.message(), "Request failed: not found (404)");
    server.scriptNext(ServerResponse::empty(422));
    EXPECT_EQ(send("GET", "/exists").error.message(), "Request failed: unprocessable entity (422)");
}

TEST_F(SessionManagerTest, ParsedContainersAreSharedAndMutable)
{
    server.scriptNext(ServerResponse::text(200, R"({"invoices":[{"id":1}]})", "application/json"));
    auto outcome = send("GET", "/api/business");
    auto business = outcome.value.dictionary();
    ASSERT_NE(business, nullptr);
    business->get("invoices").array()->append(Dictionary::make({ { "id", 2 } }));
    business->set("name", "Ann");
    EXPECT_EQ(outcome.value.dictionary()->get("invoices").array()->size(), 2u);
    EXPECT_EQ(outcome.value.dictionary()->get("name"), Value("Ann"));
}

TEST_F(SessionManagerTest, ASuccessfulAnswerThatIsNotJsonIsAnError)
{
    for (const char* body : { "{\"id\":", "<html>Welcome</html>", "OK" }) {
        server.scriptNext(ServerResponse::text(200, body, "text/html"));
        auto outcome = send("POST", "/api/freelancers", Dictionary::make({ { "a", 1 } }));
        EXPECT_FALSE(outcome.succeeded) << body;
        EXPECT_EQ(outcome.error.code(), HttpError::Code::CannotParseResponse) << body;
        EXPECT_EQ(outcome.error.statusCode(), 200);
        EXPECT_EQ(outcome.error.body(), body);
        EXPECT_NE(outcome.error.message().find("JSON"), std::string::npos);
    }
}

TEST_F(SessionManagerTest, ARefusedConnectionFailsWithStatusZero)
{
    testing::RefusingPort closed;
    auto outcome = std::make_shared<Outcome>();
    start("GET", closed.url("/api/freelancers"), {}, outcome);
    ASSERT_TRUE(mainQueue().runUntil([&] { return outcome->calls > 0; }));
    EXPECT_FALSE(outcome->succeeded);
    EXPECT_EQ(outcome->taskStatus, 0);
    EXPECT_EQ(outcome->error.statusCode(), 0);
    EXPECT_EQ(outcome->error.code(), HttpError::Code::CannotConnect);
}

TEST_F(SessionManagerTest, ADroppedConnectionFailsWithStatusZero)
{
    server.scriptNext(ServerResponse::dropped(), 2);
    auto outcome = send("PUT", "/api/business", Dictionary::make({ { "name", "Ann" } }));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.error.statusCode(), 0);
    EXPECT_EQ(outcome.error.code(), HttpError::Code::CannotConnect);
}

TEST_F(SessionManagerTest, APostIsNeverSentTwice)
{
    send("GET", "/warm");
    server.scriptNext(ServerResponse::dropped());
    auto outcome
        = send("POST", "/api/freelancers/42/invoices", Dictionary::make({ { "reference", "INV-001" } }));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.error.code(), HttpError::Code::CannotConnect);
    EXPECT_EQ(server.requestCount(), 2u);
}

TEST_F(SessionManagerTest, ASlowAnswerTimesOut)
{
    manager->setTimeout(0.2);
    // Held until the server stops: only the time-out can end the request.
    server.scriptNext(ServerResponse::json(200, Dictionary::make()).delayed(3600));
    auto started = std::chrono::steady_clock::now();
    auto outcome = send("GET", "/api/slow");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    EXPECT_FALSE(outcome.succeeded);
    EXPECT_EQ(outcome.error.code(), HttpError::Code::TimedOut);
    EXPECT_EQ(outcome.error.statusCode(), 0);
}

TEST_F(SessionManagerTest, OutcomesArriveOnlyThroughTheMainQueue)
{
    auto outcome = std::make_shared<Outcome>();
    start("GET", server.url("/api/x"), {}, outcome);
    // The answer may be on its way, but nothing runs until the main queue does.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(outcome->calls, 0);
    ASSERT_TRUE(mainQueue().runUntil([&] { return outcome->calls > 0; }));
    EXPECT_TRUE(outcome->onMainThread);
}

TEST_F(SessionManagerTest, TheTaskTellsWhatWasSentAndWhatCame)
{
    server.route("GET", "/api/freelancers/:id", [](const ServerRequest& request) {
        auto response = ServerResponse::json(200, Dictionary::make({ { "id", request.parameter("id") } }));
        response.headers.emplace_back("X-Request-Id", "abc");
        return response;
    });
    manager->setHeader("Authorization", "t");
    const Task* seen = nullptr;
    auto task = manager->get(
        server.url("/api/freelancers/42"), Dictionary::make({ { "q", "a b" } }),
        [&](const Task& finished, const Value&) { seen = &finished; }, nullptr);
    EXPECT_EQ(task->method(), "GET");
    EXPECT_EQ(task->url(), server.url("/api/freelancers/42?q=a%20b"));
    EXPECT_EQ(task->statusCode(), 0);
    ASSERT_TRUE(mainQueue().runUntil([&] { return seen != nullptr; }));
    EXPECT_EQ(seen, task.get());
    EXPECT_EQ(task->statusCode(), 200);
    EXPECT_EQ(task->responseHeader("x-request-id"), "abc");
    EXPECT_EQ(task->responseHeader("Content-Type"), "application/json");
    Task::Headers expected { { "Accept", "application/json" }, { "Authorization", "t" } };
    EXPECT_EQ(task->requestHeaders(), expected);
}

TEST_F(SessionManagerTest, EveryOneOfManyConcurrentRequestsCompletesExactlyOnce)
{
    constexpr int kRequests = 200;
    server.route("POST", "/api/echo",
        [](const ServerRequest& request) { return ServerResponse::json(200, request.json()); });
    std::vector<int> calls(kRequests, 0);
    std::vector<bool> matched(kRequests, false);
    int finished = 0;
    for (int index = 0; index < kRequests; ++index) {
        manager->post(
            server.url("/api/echo"), Dictionary::make({ { "index", index } }),
            [&, index](const Task&, const Value& value) {
                calls[index]++;
                finished++;
                matched[index] = value.dictionary() && value.dictionary()->get("index") == Value(index);
            },
            [&, index](const Task&, const HttpError&) {
                calls[index]++;
                finished++;
            });
    }
    ASSERT_TRUE(mainQueue().runUntil([&] { return finished >= kRequests; }, std::chrono::seconds(20)));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    mainQueue().runUntilIdle();
    for (int index = 0; index < kRequests; ++index) {
        EXPECT_EQ(calls[index], 1) << index;
        EXPECT_TRUE(matched[index]) << index;
    }
    EXPECT_EQ(server.requestCount(), std::size_t(kRequests));
}

TEST_F(SessionManagerTest, ACancelledRequestNeverCompletes)
{
    server.script("GET", "/api/slow", ServerResponse::json(200, Dictionary::make()).delayed(0.2));
    auto slow = std::make_shared<Outcome>();
    auto slowTask = start("GET", server.url("/api/slow"), {}, slow);
    auto unsent = std::make_shared<Outcome>();
    start("GET", server.url("/api/never"), {}, unsent)->cancel();
    ASSERT_TRUE(mainQueue().runUntil([&] { return server.requestCount() >= 1; }));
    slowTask->cancel();
    EXPECT_TRUE(slowTask->isCancelled());

    // A later request on the same manager still completes, after the slow one would have.
    auto later = send("GET", "/api/later");
    EXPECT_TRUE(later.succeeded);
    mainQueue().runUntil([] { return false; }, std::chrono::milliseconds(300));
    EXPECT_EQ(slow->calls, 0);
    EXPECT_EQ(unsent->calls, 0);
}

// Callbacks often hold screens and records, which belong to the main thread.
TEST_F(SessionManagerTest, ACancelledRequestLetsGoOfItsCallbacksOnTheMainThread)
{
    struct Probe {
        Probe(std::atomic<bool>& released, std::atomic<bool>& onMainThread)
            : m_released(released)
            , m_onMainThread(onMainThread)
        {
        }
        ~Probe()
        {
            m_onMainThread.store(mainQueue().isMainThread());
            m_released.store(true);
        }
        std::atomic<bool>& m_released;
        std::atomic<bool>& m_onMainThread;
    };
    std::atomic<bool> released { false };
    std::atomic<bool> onMainThread { false };
    server.script("GET", "/api/slow", ServerResponse::json(200, Dictionary::make()).delayed(0.3));
    auto probe = std::make_shared<Probe>(released, onMainThread);
    auto task = manager->get(
        server.url("/api/slow"), {}, [probe](const Task&, const Value&) {}, nullptr);
    probe.reset();
    ASSERT_TRUE(mainQueue().runUntil([&] { return server.requestCount() >= 1; }));
    task->cancel();
    ASSERT_TRUE(mainQueue().runUntil([&] { return released.load(); }));
    EXPECT_TRUE(onMainThread.load());
}

TEST_F(SessionManagerTest, CancellingAfterTheAnswerArrivedStillSuppressesTheCallback)
{
    auto outcome = std::make_shared<Outcome>();
    auto task = start("GET", server.url("/api/x"), {}, outcome);
    AnswersRead cancel(1, [&] { task->cancel(); });
    ASSERT_TRUE(mainQueue().runUntil([&] { return cancel.acted(); }));
    mainQueue().runUntilIdle();
    EXPECT_EQ(mainQueue().pendingCount(), 0u) << "the completion ran, and did nothing";
    EXPECT_EQ(outcome->calls, 0);
}

TEST_F(SessionManagerTest, NothingCompletesAfterTheManagerIsGone)
{
    // The slow answer is held at the server until the manager has gone; the fast one has been read by then.
    Gate slowAnswer;
    server.setAnswerObserver([wait = slowAnswer.waiting()](const ServerRequest& request, int) {
        if (request.path == "/api/slow")
            wait();
    });
    auto slow = std::make_shared<Outcome>();
    auto fast = std::make_shared<Outcome>();
    auto slowTask = start("GET", server.url("/api/slow"), {}, slow);
    start("GET", server.url("/api/fast"), {}, fast);
    AnswersRead goAway(1, [&] {
        manager.reset();
        slowTask->cancel();
    });
    ASSERT_TRUE(mainQueue().runUntil([&] { return goAway.acted(); }));
    slowAnswer.open();
    mainQueue().runUntilIdle();
    EXPECT_EQ(mainQueue().pendingCount(), 0u);
    EXPECT_EQ(slow->calls, 0);
    EXPECT_EQ(fast->calls, 0);
}

}
