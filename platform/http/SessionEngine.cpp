#include "platform/http/SessionEngine.h"

#include "platform/foundation/MainQueue.h"
#include "platform/http/Url.h"

#include <curl/curl.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::http {

namespace {

// Connections kept open to one host at a time; later requests wait for one.
constexpr long kMaximumConnectionsPerHost = 6;
constexpr int kMaximumRedirects = 10;

std::once_flag curlInitialisation;

// What the certificate check of a TLS connection needs. Held by the engine
// until its connections are closed, since a connection may outlive the
// transfer that opened it.
struct TrustContext {
    std::string host;
    std::shared_ptr<const std::function<bool(const TrustChallenge&)>> check;
};

struct Transfer {
    std::shared_ptr<Task> task;
    std::uint64_t identifier { 0 };
    SessionEngine::Completion completion;
    CURL* easy { nullptr };
    curl_slist* headerList { nullptr };
    std::string host;
    Task::Headers responseHeaders;
    SessionEngine::Outcome outcome;
    char errorBuffer[CURL_ERROR_SIZE] {};

    ~Transfer()
    {
        if (easy)
            curl_easy_cleanup(easy);
        curl_slist_free_all(headerList);
    }
};

std::string trimmed(std::string_view text)
{
    auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return std::string(text);
}

std::string lowercased(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

size_t receiveBody(char* data, size_t size, size_t count, void* user)
{
    static_cast<Transfer*>(user)->outcome.body.append(data, size * count);
    return size * count;
}

// Every answer (a redirect, a "100 Continue", the final one) starts with
// its status line; only the last answer's headers are kept.
size_t receiveHeader(char* data, size_t size, size_t count, void* user)
{
    auto* transfer = static_cast<Transfer*>(user);
    std::string_view line(data, size * count);
    if (line.starts_with("HTTP/")) {
        transfer->responseHeaders.clear();
        auto firstSpace = line.find(' ');
        auto secondSpace = firstSpace == std::string_view::npos ? firstSpace : line.find(' ', firstSpace + 1);
        transfer->outcome.reason
            = secondSpace == std::string_view::npos ? "" : lowercased(trimmed(line.substr(secondSpace + 1)));
    } else if (auto colon = line.find(':'); colon != std::string_view::npos) {
        transfer->responseHeaders.emplace_back(
            trimmed(line.substr(0, colon)), trimmed(line.substr(colon + 1)));
    }
    return size * count;
}

std::vector<std::uint8_t> derOf(X509* certificate)
{
    int length = i2d_X509(certificate, nullptr);
    if (length <= 0)
        return {};
    std::vector<std::uint8_t> der(static_cast<std::size_t>(length));
    auto* out = der.data();
    i2d_X509(certificate, &out);
    return der;
}

// Replaces OpenSSL's verdict on the peer's chain with the caller's check.
// The system's verdict is worked out first and passed along; the host
// name is still checked by libcurl after the handshake.
int verifyPeer(X509_STORE_CTX* context, void* user)
{
    auto* trust = static_cast<const TrustContext*>(user);
    TrustChallenge challenge;
    challenge.host = trust->host;
    challenge.systemTrusted = X509_verify_cert(context) == 1;
    X509* leaf = X509_STORE_CTX_get0_cert(context);
    if (leaf)
        challenge.certificates.push_back(derOf(leaf));
    if (STACK_OF(X509)* presented = X509_STORE_CTX_get0_untrusted(context)) {
        for (int index = 0; index < sk_X509_num(presented); ++index) {
            X509* certificate = sk_X509_value(presented, index);
            if (!leaf || X509_cmp(certificate, leaf) != 0)
                challenge.certificates.push_back(derOf(certificate));
        }
    }
    if ((*trust->check)(challenge)) {
        X509_STORE_CTX_set_error(context, X509_V_OK);
        return 1;
    }
    if (challenge.systemTrusted)
        X509_STORE_CTX_set_error(context, X509_V_ERR_APPLICATION_VERIFICATION);
    return 0;
}

CURLcode prepareTlsContext(CURL*, void* context, void* user)
{
    SSL_CTX_set_cert_verify_callback(static_cast<SSL_CTX*>(context), verifyPeer, user);
    return CURLE_OK;
}

void describeTransportFailure(CURLcode code, Transfer& transfer)
{
    auto& outcome = transfer.outcome;
    outcome.transportFailed = true;
    switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
        outcome.transportCode = HttpError::Code::CannotConnect;
        outcome.transportMessage = "A server with the specified hostname could not be found.";
        break;
    case CURLE_COULDNT_CONNECT:
        outcome.transportCode = HttpError::Code::CannotConnect;
        outcome.transportMessage = "Could not connect to the server.";
        break;
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE:
        outcome.transportCode = HttpError::Code::CannotConnect;
        outcome.transportMessage = "The network connection was lost.";
        break;
    case CURLE_OPERATION_TIMEDOUT:
        outcome.transportCode = HttpError::Code::TimedOut;
        outcome.transportMessage = "The request timed out.";
        break;
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
        outcome.transportCode = HttpError::Code::SecureConnectionFailed;
        outcome.transportMessage = "A secure connection to the server could not be made.";
        break;
    default:
        outcome.transportCode = HttpError::Code::Other;
        outcome.transportMessage = curl_easy_strerror(code);
        break;
    }
    if (transfer.errorBuffer[0])
        outcome.transportMessage += std::string(" (") + transfer.errorBuffer + ")";
}

bool isLoopback(const std::string& host)
{
    return host == "localhost" || host == "::1" || host.starts_with("127.");
}

}

struct SessionEngine::Impl {
    CURLM* multi { nullptr };
    std::thread worker;
    std::shared_ptr<std::atomic<bool>> alive { std::make_shared<std::atomic<bool>>(true) };

    std::mutex mutex;
    bool stopping { false };
    std::vector<std::unique_ptr<Transfer>> incoming;
    std::vector<std::uint64_t> cancelled;
    std::uint64_t lastIdentifier { 0 };

    // Used on the main thread only; read by the worker through the pointers.
    std::map<std::pair<const void*, std::string>, std::unique_ptr<TrustContext>> trustContexts;

    // Owned by the worker thread.
    std::map<CURL*, std::unique_ptr<Transfer>> running;

    void run();
    void takeRequests();
    void finish(CURL* easy, CURLcode code);
    void deliver(std::unique_ptr<Transfer> transfer);
    void release(std::unique_ptr<Transfer> transfer);
};

SessionEngine::SessionEngine()
    : m_impl(std::make_unique<Impl>())
{
    std::call_once(curlInitialisation, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    m_impl->multi = curl_multi_init();
    curl_multi_setopt(m_impl->multi, CURLMOPT_MAX_HOST_CONNECTIONS, kMaximumConnectionsPerHost);
    m_impl->worker = std::thread([impl = m_impl.get()] { impl->run(); });
}

SessionEngine::~SessionEngine()
{
    m_impl->alive->store(false);
    {
        std::lock_guard lock(m_impl->mutex);
        m_impl->stopping = true;
    }
    curl_multi_wakeup(m_impl->multi);
    m_impl->worker.join();
    for (auto& [easy, transfer] : m_impl->running)
        curl_multi_remove_handle(m_impl->multi, easy);
    m_impl->running.clear();
    m_impl->incoming.clear();
    curl_multi_cleanup(m_impl->multi);
}

void SessionEngine::start(const std::shared_ptr<Task>& task, const Options& options, Completion completion)
{
    task->m_engine = weak_from_this();
    task->m_identifier = ++m_impl->lastIdentifier;
    auto transfer = std::make_unique<Transfer>();
    transfer->task = task;
    transfer->identifier = task->m_identifier;
    transfer->completion = std::move(completion);
    transfer->host = hostOf(task->url());

    CURL* easy = curl_easy_init();
    transfer->easy = easy;
    curl_easy_setopt(easy, CURLOPT_URL, task->url().c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, static_cast<long>(kMaximumRedirects));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer->errorBuffer);
    curl_easy_setopt(
        easy, CURLOPT_CONNECTTIMEOUT_MS, std::max(1L, std::lround(options.connectTimeout * 1000)));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, std::max(1L, std::lround(options.timeout * 1000)));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, receiveBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, transfer.get());
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, receiveHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, transfer.get());
    if (isLoopback(transfer->host))
        curl_easy_setopt(easy, CURLOPT_PROXY, "");

    const std::string& method = task->method();
    if (method == "GET") {
        curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    } else if (method == "HEAD") {
        curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    } else {
        curl_easy_setopt(easy, CURLOPT_CUSTOMREQUEST, method.c_str());
    }
    // libcurl sends a request once more when a connection kept from an earlier
    // one closes without answering. That is safe for every method but POST
    // and PATCH, which could then act twice on the server: they always go
    // out on a new connection, which is never sent on twice.
    if (method == "POST" || method == "PATCH")
        curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);
    if (options.sendsBody) {
        // The task, which holds the body, lives as long as the transfer.
        curl_easy_setopt(easy, CURLOPT_POSTFIELDS, task->requestBody().data());
        curl_easy_setopt(
            easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(task->requestBody().size()));
    }

    for (const auto& [name, value] : task->requestHeaders())
        transfer->headerList = curl_slist_append(transfer->headerList, (name + ": " + value).c_str());
    // No "Expect: 100-continue" round trip before larger bodies, and no
    // form content type made up for a body sent without one.
    transfer->headerList = curl_slist_append(transfer->headerList, "Expect:");
    bool typed = std::any_of(task->requestHeaders().begin(), task->requestHeaders().end(),
        [](const auto& header) { return lowercased(header.first) == "content-type"; });
    if (options.sendsBody && !typed)
        transfer->headerList = curl_slist_append(transfer->headerList, "Content-Type:");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, transfer->headerList);

    if (options.trustCheck) {
        auto& trust = m_impl->trustContexts[{ options.trustCheck.get(), transfer->host }];
        if (!trust)
            trust = std::make_unique<TrustContext>(TrustContext { transfer->host, options.trustCheck });
        curl_easy_setopt(easy, CURLOPT_SSL_CTX_FUNCTION, prepareTlsContext);
        curl_easy_setopt(easy, CURLOPT_SSL_CTX_DATA, trust.get());
        curl_easy_setopt(easy, CURLOPT_SSL_SESSIONID_CACHE, 0L);
    }

    {
        std::lock_guard lock(m_impl->mutex);
        m_impl->incoming.push_back(std::move(transfer));
    }
    curl_multi_wakeup(m_impl->multi);
}

void SessionEngine::cancel(const Task& task)
{
    std::unique_ptr<Transfer> notStarted;
    {
        std::lock_guard lock(m_impl->mutex);
        auto& incoming = m_impl->incoming;
        auto found = std::find_if(incoming.begin(), incoming.end(),
            [&](const std::unique_ptr<Transfer>& transfer) { return transfer->task.get() == &task; });
        if (found == incoming.end()) {
            m_impl->cancelled.push_back(task.m_identifier);
        } else {
            notStarted = std::move(*found);
            incoming.erase(found);
        }
    }
    if (!notStarted)
        curl_multi_wakeup(m_impl->multi);
}

void SessionEngine::Impl::run()
{
    while (true) {
        takeRequests();
        {
            std::lock_guard lock(mutex);
            if (stopping)
                return;
        }
        int active = 0;
        curl_multi_perform(multi, &active);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE)
                finish(message->easy_handle, message->data.result);
        }
        curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
    }
}

void SessionEngine::Impl::takeRequests()
{
    std::vector<std::unique_ptr<Transfer>> added;
    std::vector<std::uint64_t> removed;
    {
        std::lock_guard lock(mutex);
        added.swap(incoming);
        removed.swap(cancelled);
    }
    for (std::uint64_t identifier : removed) {
        auto found = std::find_if(running.begin(), running.end(),
            [&](const auto& entry) { return entry.second->identifier == identifier; });
        if (found != running.end()) {
            curl_multi_remove_handle(multi, found->first);
            auto transfer = std::move(found->second);
            running.erase(found);
            release(std::move(transfer));
        }
    }
    for (auto& transfer : added) {
        CURL* easy = transfer->easy;
        curl_multi_add_handle(multi, easy);
        running.emplace(easy, std::move(transfer));
    }
}

void SessionEngine::Impl::finish(CURL* easy, CURLcode code)
{
    auto found = running.find(easy);
    if (found == running.end())
        return;
    auto transfer = std::move(found->second);
    running.erase(found);
    curl_multi_remove_handle(multi, easy);
    if (code != CURLE_OK)
        describeTransportFailure(code, *transfer);
    deliver(std::move(transfer));
}

// The callbacks of a cancelled transfer may hold objects that belong to the
// main thread, so they are let go there too.
void SessionEngine::Impl::release(std::unique_ptr<Transfer> transfer)
{
    curl_easy_cleanup(transfer->easy);
    transfer->easy = nullptr;
    foundation::mainQueue().async([transfer = std::shared_ptr<Transfer>(std::move(transfer))] {});
}

void SessionEngine::Impl::deliver(std::unique_ptr<Transfer> transfer)
{
    long status = 0;
    curl_easy_getinfo(transfer->easy, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(transfer->easy);
    transfer->easy = nullptr;
    curl_slist_free_all(transfer->headerList);
    transfer->headerList = nullptr;
    foundation::mainQueue().async(
        [alive = alive, status, transfer = std::shared_ptr<Transfer>(std::move(transfer))] {
            Task& task = *transfer->task;
            if (!alive->load() || task.isCancelled())
                return;
            applyResponse(task, static_cast<int>(status), std::move(transfer->responseHeaders));
            transfer->completion(task, transfer->outcome);
        });
}

void SessionEngine::applyResponse(Task& task, int statusCode, Task::Headers headers)
{
    task.m_statusCode = statusCode;
    task.m_responseHeaders = std::move(headers);
    task.m_engine.reset();
}

}
