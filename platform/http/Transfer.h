#pragma once

#include "platform/http/SessionEngine.h"

#include <curl/curl.h>

#include <chrono>
#include <memory>
#include <string>
#include <utility>

namespace platform::http {

class TrustContexts;

/// One request on its way through a libcurl easy handle: sets the handle up
/// for each hop (the request, then each redirect followed), collects the
/// answer, and turns libcurl's verdict into an outcome.
///
/// Redirects are followed as the phone's HTTP stack does: 301, 302 and 303
/// turn a request with a body into a GET without body or Content-Type (303
/// turns everything but HEAD into a GET); 307 and 308 repeat the method and
/// body. A redirect to another origin drops the Authorization and Cookie
/// headers. At most ten redirects are followed.
class Transfer {
public:
    enum class Hop { Finished, Redirected };

    Transfer(
        std::shared_ptr<Task> task, SessionEngine::Options options, SessionEngine::Completion completion);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    /// Sets `easy` (fresh or reset) up for the request's first hop; the
    /// transfer owns it until releaseHandle(). `trust` must outlive the
    /// handle's connections.
    void begin(CURL* easy, TrustContexts& trust);

    /// Takes libcurl's verdict on the hop that just ended. Either the handle
    /// is set up for the next hop (Redirected: run it again), or the outcome
    /// is complete (Finished).
    Hop endHop(CURLcode code);

    CURL* easy() const { return m_easy; }
    /// Gives up the easy handle to the caller.
    CURL* releaseHandle() { return std::exchange(m_easy, nullptr); }
    const std::shared_ptr<Task>& task() const { return m_task; }
    /// The final status: 0 when no complete answer came.
    int status() const { return m_status; }
    Task::Headers& responseHeaders() { return m_responseHeaders; }
    SessionEngine::Outcome& outcome() { return m_outcome; }
    SessionEngine::Completion& completion() { return m_completion; }

private:
    void setUpHop();
    bool redirect(int status);
    void fail(CURLcode code);
    void fail(HttpError::Code code, int loadingCode, std::string message);

    static size_t receiveBody(char* data, size_t size, size_t count, void* user);
    static size_t receiveHeader(char* data, size_t size, size_t count, void* user);

    std::shared_ptr<Task> m_task;
    SessionEngine::Options m_options;
    SessionEngine::Completion m_completion;
    CURL* m_easy { nullptr };
    TrustContexts* m_trust { nullptr };
    curl_slist* m_headerList { nullptr };
    std::chrono::steady_clock::time_point m_started { std::chrono::steady_clock::now() };

    // The hop in progress.
    std::string m_url;
    std::string m_method;
    bool m_sendsBody { false };
    Task::Headers m_requestHeaders;
    int m_redirects { 0 };
    bool m_tooLarge { false };

    int m_status { 0 };
    Task::Headers m_responseHeaders;
    SessionEngine::Outcome m_outcome;
    char m_errorBuffer[CURL_ERROR_SIZE] {};
};

}
