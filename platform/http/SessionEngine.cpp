#include "platform/http/SessionEngine.h"

#include "platform/foundation/MainQueue.h"
#include "platform/http/Transfer.h"
#include "platform/http/TrustContexts.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::http {

namespace {

// Connections kept open to one host at a time; later requests wait for one.
constexpr long kMaximumConnectionsPerHost = 6;

std::once_flag curlInitialisation;

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

    // Set up on the main thread, and on the worker for redirects, under the mutex.
    TrustContexts trustContexts;

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
    auto transfer = std::make_unique<Transfer>(task, options, std::move(completion));
    {
        std::lock_guard lock(m_impl->mutex);
        transfer->begin(curl_easy_init(), m_impl->trustContexts);
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
            [&](const std::unique_ptr<Transfer>& transfer) { return transfer->task().get() == &task; });
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
            [&](const auto& entry) { return entry.second->task()->m_identifier == identifier; });
        if (found != running.end()) {
            curl_multi_remove_handle(multi, found->first);
            auto transfer = std::move(found->second);
            running.erase(found);
            release(std::move(transfer));
        }
    }
    for (auto& transfer : added) {
        CURL* easy = transfer->easy();
        curl_multi_add_handle(multi, easy);
        running.emplace(easy, std::move(transfer));
    }
}

void SessionEngine::Impl::finish(CURL* easy, CURLcode code)
{
    auto found = running.find(easy);
    if (found == running.end())
        return;
    curl_multi_remove_handle(multi, easy);
    Transfer::Hop hop;
    {
        std::lock_guard lock(mutex);
        hop = found->second->endHop(code);
    }
    if (hop == Transfer::Hop::Redirected) {
        curl_multi_add_handle(multi, easy);
        return;
    }
    auto transfer = std::move(found->second);
    running.erase(found);
    deliver(std::move(transfer));
}

// The callbacks of a cancelled transfer may hold objects that belong to the
// main thread, so they are let go there too.
void SessionEngine::Impl::release(std::unique_ptr<Transfer> transfer)
{
    curl_easy_cleanup(transfer->releaseHandle());
    foundation::mainQueue().async([transfer = std::shared_ptr<Transfer>(std::move(transfer))] {});
}

void SessionEngine::Impl::deliver(std::unique_ptr<Transfer> transfer)
{
    curl_easy_cleanup(transfer->releaseHandle());
    foundation::mainQueue().async([alive = alive, transfer = std::shared_ptr<Transfer>(std::move(transfer))] {
        Task& task = *transfer->task();
        if (!alive->load() || task.isCancelled())
            return;
        applyResponse(task, transfer->status(), std::move(transfer->responseHeaders()));
        transfer->completion()(task, transfer->outcome());
    });
}

void SessionEngine::applyResponse(Task& task, int statusCode, Task::Headers headers)
{
    task.m_statusCode = statusCode;
    task.m_responseHeaders = std::move(headers);
    task.m_engine.reset();
}

}
