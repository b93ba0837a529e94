#include "kit/core/EMBURLSession.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/MainQueue.h"

#include "testing/TemporaryDirectory.h"
#include "testing/server/LoopbackServer.h"
#include "testing/server/RefusingPort.h"
#include "testing/server/TestCertificateAuthority.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace kit;
using platform::foundation::Error;
using platform::foundation::mainQueue;
using platform::http::HttpResponse;
using platform::http::UrlLoading;
using platform::http::UrlRequest;
using testing::LoopbackServer;
using testing::ServerResponse;
using Callback = EMBURLSessionDelegate::Callback;

namespace {

// Writes down what the session tells it, one line per callback, from whatever thread.
class RecordingDelegate : public EMBURLSessionDelegate {
public:
    bool respondsTo(Callback callback) const override
    {
        return callback != Callback::DidReceiveChallenge || challengeAnswer.has_value();
    }
    void didReceiveResponse(EMBURLSession&, EMBURLSessionTask&, const HttpResponse& response) override
    {
        record("response " + std::to_string(response.statusCode));
    }
    void didReceiveData(EMBURLSession&, EMBURLSessionDataTask&, const std::string& data) override
    {
        record("data " + data);
    }
    void didFinishDownloadingToURL(
        EMBURLSession&, EMBURLSessionDownloadTask&, const std::filesystem::path& location) override
    {
        std::ifstream file(location);
        record("file " + std::string(std::istreambuf_iterator<char>(file), {}));
    }
    void didCompleteWithError(EMBURLSession&, EMBURLSessionTask&, const std::optional<Error>& error) override
    {
        record(error ? "complete " + std::to_string(error->code()) : "complete");
    }
    void didReceiveChallenge(EMBURLSession&, const platform::http::TrustChallenge&,
        const std::function<void(EMBAuthChallengeDisposition)>& completion) override
    {
        record("challenge");
        completion(*challengeAnswer);
    }

    std::vector<std::string> events() const
    {
        std::lock_guard lock(m_mutex);
        return m_events;
    }
    bool heard(const std::string& event) const
    {
        auto all = events();
        return std::find(all.begin(), all.end(), event) != all.end();
    }

    std::optional<EMBAuthChallengeDisposition> challengeAnswer;

private:
    void record(std::string event)
    {
        std::lock_guard lock(m_mutex);
        m_events.push_back(std::move(event));
    }

    mutable std::mutex m_mutex;
    std::vector<std::string> m_events;
};

// What a completion handler was given, filled in on the task's thread.
struct Outcome {
    std::atomic<int> calls { 0 };
    std::optional<std::string> data;
    std::optional<HttpResponse> response;
    std::optional<Error> error;
    bool fileExisted { false };
    std::string fileContent;
    std::filesystem::path location;
};

class EMBURLSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_server.route(
            "GET", "/hello", [](const auto&) { return ServerResponse::text(200, "hello", "text/plain"); });
    }

    UrlRequest request(std::string_view path, double timeout = 5) const
    {
        UrlRequest request;
        request.url = m_server.url(path);
        request.timeoutInterval = timeout;
        return request;
    }

    std::shared_ptr<EMBURLSession> session(const std::shared_ptr<EMBURLSessionConfiguration>& configuration
        = EMBURLSessionConfiguration::defaultSessionConfiguration())
    {
        return EMBURLSession::sessionWithConfiguration(configuration, m_delegate);
    }

    static EMBURLSessionDataTask::CompletionHandler recordInto(Outcome& outcome)
    {
        return [&outcome](const std::optional<std::string>& data, const std::optional<HttpResponse>& response,
                   const std::optional<Error>& error) {
            outcome.data = data;
            outcome.response = response;
            outcome.error = error;
            ++outcome.calls;
        };
    }

    static EMBURLSessionDownloadTask::CompletionHandler recordDownloadInto(Outcome& outcome)
    {
        return [&outcome](const std::filesystem::path& location, const std::optional<HttpResponse>& response,
                   const std::optional<Error>& error) {
            outcome.location = location;
            outcome.fileExisted = std::filesystem::exists(location);
            std::ifstream file(location);
            outcome.fileContent.assign(std::istreambuf_iterator<char>(file), {});
            outcome.response = response;
            outcome.error = error;
            ++outcome.calls;
        };
    }

    static bool waitFor(const std::function<bool()>& done) { return mainQueue().runUntil(done); }
    /// Lets stray callbacks arrive: the main queue, the tasks' threads and the delegate queue.
    static void settle()
    {
        mainQueue().runUntil([] { return false; }, std::chrono::milliseconds(150));
    }

    LoopbackServer m_server;
    std::shared_ptr<RecordingDelegate> m_delegate { std::make_shared<RecordingDelegate>() };
};

}

TEST_F(EMBURLSessionTest, ACompletionHandlerReplacesTheDelegate)
{
    auto tasks = session();
    Outcome outcome;
    auto task = tasks->dataTaskWithRequest(request("/hello"), recordInto(outcome));
    EXPECT_FALSE(task->invokesDelegate());
    task->resume();

    ASSERT_TRUE(waitFor([&] { return outcome.calls == 1; }));
    settle();
    EXPECT_EQ(outcome.calls, 1);
    EXPECT_EQ(outcome.data, "hello");
    ASSERT_TRUE(outcome.response);
    EXPECT_EQ(outcome.response->statusCode, 200);
    EXPECT_EQ(outcome.response->header("content-type"), "text/plain");
    EXPECT_FALSE(outcome.error);
    EXPECT_EQ(task->response()->statusCode, 200);
    EXPECT_TRUE(m_delegate->events().empty());
}

TEST_F(EMBURLSessionTest, WithoutAHandlerTheDelegateHearsEachStepOnceInOrder)
{
    m_server.script("GET", "/missing", ServerResponse::empty(404));
    auto tasks = session();
    tasks->dataTaskWithRequest(request("/hello"))->resume();
    ASSERT_TRUE(waitFor([&] { return m_delegate->heard("complete"); }));
    tasks->dataTaskWithRequest(request("/missing"))->resume();
    ASSERT_TRUE(waitFor([&] { return m_delegate->events().size() == 5; }));
    settle();

    // A 404 is an answer like any other: no data, no error.
    EXPECT_EQ(m_delegate->events(),
        (std::vector<std::string> { "response 200", "data hello", "complete", "response 404", "complete" }));
}

TEST_F(EMBURLSessionTest, ConfigurationHeadersAreAddedBesideTheRequestsOwn)
{
    auto configuration = EMBURLSessionConfiguration::defaultSessionConfiguration();
    configuration->setHTTPAdditionalHeaders({ { "X-Kit", "from-session" }, { "X-Session", "1" } });
    auto tasks = session(configuration);
    // The session took a copy: later changes do not reach it.
    configuration->setHTTPAdditionalHeaders({});

    auto asked = request("/hello");
    asked.headers = { { "X-Kit", "from-request" } };
    Outcome outcome;
    auto task = tasks->dataTaskWithRequest(asked, recordInto(outcome));
    EXPECT_EQ(task->originalRequest().headers,
        (platform::http::Task::Headers {
            { "X-Kit", "from-request" }, { "X-Kit", "from-session" }, { "X-Session", "1" } }));
    task->resume();
    ASSERT_TRUE(waitFor([&] { return outcome.calls == 1; }));

    auto received = m_server.lastRequest();
    ASSERT_TRUE(received);
    std::string kitValues;
    for (const auto& [name, value] : received->headers) {
        if (name == "X-Kit")
            kitValues += (kitValues.empty() ? "" : ", ") + value;
    }
    EXPECT_EQ(kitValues, "from-request, from-session");
    EXPECT_EQ(received->header("X-Session"), "1");
}

TEST_F(EMBURLSessionTest, GettingTasksAnswersEmptyListsOnTheDelegateQueueOnly)
{
    m_server.script("GET", "/slow", ServerResponse::text(200, "late").delayed(3600));
    auto tasks = session();
    Outcome outcome;
    tasks->dataTaskWithRequest(request("/slow"), recordInto(outcome))->resume();

    std::atomic<int> answers { 0 };
    tasks->getTasksWithCompletionHandler([&](const auto& data, const auto& uploads, const auto& downloads) {
        EXPECT_TRUE(data.empty() && uploads.empty() && downloads.empty());
        ++answers;
    });
    ASSERT_TRUE(waitFor([&] { return answers == 1; }));

    auto withoutQueue
        = EMBURLSession::sessionWithConfiguration(EMBURLSessionConfiguration::defaultSessionConfiguration());
    EXPECT_FALSE(withoutQueue->delegateQueue());
    withoutQueue->getTasksWithCompletionHandler([&](const auto&, const auto&, const auto&) { ++answers; });
    ASSERT_TRUE(waitFor([&] { return outcome.calls == 1; }));
    EXPECT_EQ(answers, 1);
}

TEST_F(EMBURLSessionTest, ADownloadedFileLivesUntilItsReadersHaveSeenIt)
{
    auto tasks = session();
    Outcome outcome;
    auto withHandler = tasks->downloadTaskWithRequest(request("/hello"), recordDownloadInto(outcome));
    withHandler->resume();
    ASSERT_TRUE(waitFor([&] { return outcome.calls == 1; }));
    EXPECT_TRUE(outcome.fileExisted);
    EXPECT_EQ(outcome.fileContent, "hello");
    EXPECT_EQ(outcome.location, withHandler->targetURL());
    EXPECT_FALSE(outcome.error);
    EXPECT_TRUE(waitFor([&] { return !std::filesystem::exists(outcome.location); }));

    auto forDelegate = tasks->downloadTaskWithURL(m_server.url("/hello"));
    EXPECT_NE(forDelegate->targetURL(), withHandler->targetURL());
    forDelegate->resume();
    ASSERT_TRUE(waitFor([&] { return m_delegate->heard("complete"); }));
    EXPECT_EQ(m_delegate->events(), (std::vector<std::string> { "response 200", "file hello", "complete" }));
    EXPECT_FALSE(std::filesystem::exists(forDelegate->targetURL()));
}

TEST_F(EMBURLSessionTest, AnUploadSendsItsFile)
{
    m_server.route(
        "POST", "/upload", [](const auto& received) { return ServerResponse::text(201, received.body); });
    testing::TemporaryDirectory folder;
    auto file = folder.path() / "report";
    std::ofstream(file) << "report body";

    auto tasks = session();
    auto upload = request("/upload");
    upload.method = "POST";
    upload.body = "not this";
    Outcome sent;
    tasks->uploadTaskWithRequest(upload, file, recordInto(sent))->resume();
    ASSERT_TRUE(waitFor([&] { return sent.calls == 1; }));
    EXPECT_EQ(sent.data, "report body");
    EXPECT_EQ(sent.response->statusCode, 201);

    Outcome missing;
    tasks->uploadTaskWithRequest(upload, folder.path() / "gone", recordInto(missing))->resume();
    ASSERT_TRUE(waitFor([&] { return missing.calls == 1; }));
    ASSERT_TRUE(missing.error);
    EXPECT_EQ(missing.error->domain(), UrlLoading::kErrorDomain);
    EXPECT_EQ(missing.error->code(), UrlLoading::kFileDoesNotExist);
    EXPECT_EQ(m_server.requestCount(), 1u);
}

TEST_F(EMBURLSessionTest, ResumingTwiceSendsOneRequest)
{
    auto tasks = session();
    Outcome outcome;
    auto task = tasks->dataTaskWithRequest(request("/hello"), recordInto(outcome));
    task->resume();
    task->resume();
    ASSERT_TRUE(waitFor([&] { return outcome.calls == 1; }));
    settle();
    EXPECT_EQ(m_server.requestCount(), 1u);
    EXPECT_EQ(outcome.calls, 1);
}

TEST_F(EMBURLSessionTest, RedirectsAreFollowed)
{
    m_server.script("GET", "/old", { 302, { { "Location", "/hello" } }, "", "text/plain" });
    auto tasks = session();
    Outcome outcome;
    tasks->dataTaskWithRequest(request("/old"), recordInto(outcome))->resume();
    ASSERT_TRUE(waitFor([&] { return outcome.calls == 1; }));
    EXPECT_EQ(outcome.response->statusCode, 200);
    EXPECT_EQ(outcome.data, "hello");
    EXPECT_EQ(m_server.lastRequest()->path, "/hello");
}

TEST_F(EMBURLSessionTest, ACancelledTaskEndsOnceWithTheCancellationError)
{
    m_server.script("GET", "/slow", ServerResponse::text(200, "late").delayed(3600));
    auto tasks = session();
    struct Case {
        const char* name;
        bool resumeFirst;
    };
    for (auto [name, resumeFirst] : { Case { "running", true }, Case { "never started", false } }) {
        SCOPED_TRACE(name);
        Outcome outcome;
        auto task = tasks->dataTaskWithRequest(request("/slow"), recordInto(outcome));
        if (resumeFirst) {
            task->resume();
            ASSERT_TRUE(waitFor([&] { return m_server.requestCount() == 1; }));
        }
        task->cancel();
        task->resume();
        task->cancel();
        ASSERT_TRUE(waitFor([&] { return outcome.calls == 1; }));
        settle();
        EXPECT_EQ(outcome.calls, 1);
        ASSERT_TRUE(outcome.error);
        EXPECT_EQ(outcome.error->domain(), UrlLoading::kErrorDomain);
        EXPECT_EQ(outcome.error->code(), UrlLoading::kCancelled);
        EXPECT_FALSE(outcome.response);
        EXPECT_EQ(task->error()->code(), UrlLoading::kCancelled);
    }
    EXPECT_EQ(m_server.requestCount(), 1u);

    // Invalidating cancels what runs, and the delegate hears no more of it.
    tasks->dataTaskWithRequest(request("/slow"))->resume();
    ASSERT_TRUE(waitFor([&] { return m_server.requestCount() == 2; }));
    tasks->invalidateAndCancel();
    EXPECT_FALSE(tasks->delegate());
    settle();
    EXPECT_TRUE(m_delegate->events().empty());
}

// A handler that holds the session's owner (as a network client's does) must not keep it alive: the task lets
// go of its handler once it has run, and an invalidated session lets go of its tasks, even of one whose
// main-queue turn never comes.
TEST_F(EMBURLSessionTest, TasksLetGoOfTheirHandlersAndAnInvalidatedSessionOfItsTasks)
{
    m_server.script("GET", "/slow", ServerResponse::text(200, "late").delayed(3600));
    struct Case {
        const char* name;
        const char* path;
        bool invalidate;
    };
    for (auto [name, path, invalidate] :
        { Case { "answered", "/hello", false }, Case { "invalidated mid-transfer", "/slow", true } }) {
        SCOPED_TRACE(name);
        auto owner = std::make_shared<std::shared_ptr<EMBURLSession>>(session());
        std::weak_ptr<EMBURLSession> tasks = *owner;
        Outcome outcome;
        auto task = (*owner)->dataTaskWithRequest(request(path),
            [owner, record = recordInto(outcome)](const auto& data, const auto& response, const auto& error) {
                record(data, response, error);
            });
        std::weak_ptr<std::shared_ptr<EMBURLSession>> held = owner;
        owner.reset();
        task->resume();
        if (invalidate) {
            ASSERT_TRUE(waitFor([&] { return m_server.requestCount() > 0; }));
            tasks.lock()->invalidateAndCancel();
            mainQueue().reset();
        }
        ASSERT_TRUE(waitFor([&] { return outcome.calls == 1; }));
        EXPECT_TRUE(waitFor([&] { return held.expired(); })) << "the handler still holds the owner";
        EXPECT_TRUE(waitFor([&] { return tasks.expired(); }));
        EXPECT_EQ(outcome.error.has_value(), invalidate);
        m_server.clearRequests();
    }
}

TEST_F(EMBURLSessionTest, ATimeOutEndsTheTaskWithTheTimeOutError)
{
    m_server.script("GET", "/slow", ServerResponse::text(200, "late").delayed(3600));
    auto tasks = session();
    Outcome outcome;
    tasks->dataTaskWithRequest(request("/slow", 0.2), recordInto(outcome))->resume();
    ASSERT_TRUE(waitFor([&] { return outcome.calls == 1; }));
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->domain(), UrlLoading::kErrorDomain);
    EXPECT_EQ(outcome.error->code(), UrlLoading::kTimedOut);
}

TEST_F(EMBURLSessionTest, TheDelegatesAnswerToAChallengeDecidesTheHandshake)
{
    testing::TemporaryDirectory folder;
    testing::TestCertificateAuthority authority(folder.path());
    LoopbackServer tls(authority.issueServerIdentity("server"));
    tls.route("GET", "/hello", [](const auto&) { return ServerResponse::text(200, "secret"); });

    struct Case {
        const char* name;
        std::optional<EMBAuthChallengeDisposition> answer;
        std::optional<int> error;
    };
    const Case cases[] = {
        { "trusted by the delegate", EMBAuthChallengeDisposition::UseCredential, std::nullopt },
        { "refused by the delegate", EMBAuthChallengeDisposition::CancelAuthenticationChallenge,
            UrlLoading::kCancelled },
        // The test authority is not among the system's roots.
        { "left to the system", EMBAuthChallengeDisposition::PerformDefaultHandling,
            UrlLoading::kSecureConnectionFailed },
        { "no delegate answer", std::nullopt, UrlLoading::kSecureConnectionFailed },
    };
    for (const auto& [name, answer, error] : cases) {
        SCOPED_TRACE(name);
        auto delegate = std::make_shared<RecordingDelegate>();
        delegate->challengeAnswer = answer;
        auto tasks = EMBURLSession::sessionWithConfiguration(
            EMBURLSessionConfiguration::defaultSessionConfiguration(), delegate);
        UrlRequest asked;
        asked.url = tls.url("/hello");
        asked.timeoutInterval = 5;
        Outcome outcome;
        tasks->dataTaskWithRequest(asked, recordInto(outcome))->resume();
        ASSERT_TRUE(waitFor([&] { return outcome.calls == 1; }));
        EXPECT_EQ(delegate->heard("challenge"), answer.has_value());
        if (error) {
            ASSERT_TRUE(outcome.error);
            EXPECT_EQ(outcome.error->code(), *error);
        } else {
            EXPECT_FALSE(outcome.error);
            EXPECT_EQ(outcome.data, "secret");
        }
    }
}

TEST(EMBURLSessionFactoryTest, ConnectionModeHasNoBackgroundSessions)
{
    EXPECT_FALSE(EMBURLSession::NSURLSessionShouldBeUsed());
    EXPECT_FALSE(
        EMBURLSessionConfiguration::backgroundSessionConfigurationWithIdentifier("com.ember.upload"));
    EXPECT_FALSE(EMBURLSession::sessionWithConfiguration(nullptr));

    auto configuration = EMBURLSessionConfiguration::ephemeralSessionConfiguration();
    configuration->setHTTPCookieAcceptPolicy(2);
    configuration->setHTTPAdditionalHeaders({ { "X-A", "1" } });
    auto copied = configuration->copy();
    EXPECT_EQ(copied->HTTPAdditionalHeaders(), configuration->HTTPAdditionalHeaders());
    EXPECT_EQ(copied->HTTPCookieAcceptPolicy(), 0u);
    EXPECT_FALSE(copied->sessionSendsLaunchEvents());

    auto queue = EMBURLSession::newDefaultDelegateQueue();
    EXPECT_EQ(queue->maxConcurrentOperationCount(), 1u);
    EXPECT_TRUE(queue->name().starts_with("EMBURLSession 0x")) << queue->name();
}

TEST_F(EMBURLSessionTest, TransportFailuresCarryTheirUrlLoadingCodes)
{
    testing::RefusingPort closed;
    std::string closedUrl = closed.url("/hello");
    m_server.script("GET", "/dropped", ServerResponse::dropped(), 2);
    m_server.route("GET", "/loop", [](const auto&) {
        return ServerResponse { 302, { { "Location", "/loop" } }, "", "text/plain" };
    });
    const std::pair<std::string, int> cases[] = {
        { m_server.url("/dropped"), UrlLoading::kNetworkConnectionLost },
        { closedUrl, UrlLoading::kCannotConnectToHost },
        { m_server.url("/loop"), UrlLoading::kHttpTooManyRedirects },
    };
    auto tasks = session();
    for (const auto& [url, code] : cases) {
        SCOPED_TRACE(url);
        UrlRequest asked;
        asked.url = url;
        asked.timeoutInterval = 5;
        Outcome outcome;
        tasks->dataTaskWithRequest(asked, recordInto(outcome))->resume();
        ASSERT_TRUE(waitFor([&] { return outcome.calls == 1; }));
        ASSERT_TRUE(outcome.error);
        EXPECT_EQ(outcome.error->domain(), UrlLoading::kErrorDomain);
        EXPECT_EQ(outcome.error->code(), code);
        EXPECT_EQ(outcome.error->userInfo()->get("NSErrorFailingURLStringKey").stringValue(), url);
    }
}
