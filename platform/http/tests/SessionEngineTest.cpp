// How transfers are driven: from the main queue's own wait, or to their end on the calling thread.

#include "platform/http/SessionManager.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"
#include "testing/server/LoopbackServer.h"
#include "testing/server/RefusingPort.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

using namespace platform::http;
using platform::foundation::Dictionary;
using platform::foundation::mainQueue;
using platform::foundation::Value;
using testing::LoopbackServer;
using testing::ServerRequest;
using testing::ServerResponse;

namespace {

std::size_t threadCount()
{
    auto tasks = std::filesystem::directory_iterator("/proc/self/task");
    return static_cast<std::size_t>(std::distance(begin(tasks), end(tasks)));
}

struct Outcome {
    int calls { 0 };
    bool succeeded { false };
    Value value;
    HttpError error;
};

SessionManager::Success succeed(Outcome& outcome)
{
    return [&outcome](const Task&, const Value& value) {
        outcome.calls++;
        outcome.succeeded = true;
        outcome.value = value;
    };
}

SessionManager::Failure fail(Outcome& outcome)
{
    return [&outcome](const Task&, const HttpError& error) {
        outcome.calls++;
        outcome.error = error;
    };
}

class SessionEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        server.route("*", "/api/echo",
            [](const ServerRequest& request) { return ServerResponse::json(200, request.json()); });
    }

    LoopbackServer server;
    std::shared_ptr<SessionManager> manager { std::make_shared<SessionManager>() };
};

TEST_F(SessionEngineTest, TransfersRunOnTheMainThreadWithoutAThreadOfTheirOwn)
{
    // A first request, once the server's threads have all started.
    Outcome warm;
    manager->get(server.url("/api/echo"), {}, succeed(warm), fail(warm));
    ASSERT_TRUE(mainQueue().runUntil([&] { return warm.calls > 0; }));

    std::size_t before = threadCount();
    auto second = std::make_shared<SessionManager>();
    Outcome first;
    Outcome other;
    manager->post(server.url("/api/echo"), Dictionary::make({ { "n", 1 } }), succeed(first), fail(first));
    second->put(server.url("/api/echo"), Dictionary::make({ { "n", 2 } }), succeed(other), fail(other));
    EXPECT_EQ(threadCount(), before);
    ASSERT_TRUE(mainQueue().runUntil([&] { return first.calls && other.calls; }));
    EXPECT_EQ(first.value, Value(Dictionary::make({ { "n", 1 } })));
    EXPECT_EQ(other.value, Value(Dictionary::make({ { "n", 2 } })));
    EXPECT_EQ(threadCount(), before);
}

TEST_F(SessionEngineTest, RequestAndWaitEndsWithoutTurningTheMainQueue)
{
    bool queued = false;
    mainQueue().async([&] { queued = true; });
    auto pending = mainQueue().pendingCount();
    manager->setHeader("Authorization", "token-1");

    Outcome sent;
    server.scriptNext([] {
        auto response = ServerResponse::empty(307);
        response.headers.emplace_back("Location", "/api/echo");
        return response;
    }());
    auto task = manager->requestAndWait(
        "POST", server.url("/api/crash"), Dictionary::make({ { "report", "r" } }), succeed(sent), fail(sent));
    EXPECT_EQ(sent.calls, 1);
    EXPECT_TRUE(sent.succeeded) << sent.error.message();
    EXPECT_EQ(sent.value, Value(Dictionary::make({ { "report", "r" } })));
    EXPECT_EQ(task->statusCode(), 200);
    EXPECT_EQ(server.lastRequest()->header("Authorization"), "token-1");

    testing::RefusingPort refused;
    Outcome failed;
    manager->requestAndWait("POST", refused.url("/api/crash"), {}, succeed(failed), fail(failed));
    EXPECT_EQ(failed.calls, 1);
    EXPECT_EQ(failed.error.code(), HttpError::Code::CannotConnect);

    EXPECT_FALSE(queued);
    EXPECT_EQ(mainQueue().pendingCount(), pending);
}

TEST_F(SessionEngineTest, AnAnswerIsReadWhileTheQueueRunsItsTasks)
{
    // No runUntil: a test or screen that only settles the queue still sees answers that have arrived.
    Outcome outcome;
    manager->get(server.url("/api/echo"), {}, succeed(outcome), fail(outcome));
    for (int turn = 0; turn < 500 && !outcome.calls; ++turn) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        mainQueue().runUntilIdle();
    }
    EXPECT_TRUE(outcome.succeeded) << outcome.error.message();
}

}
