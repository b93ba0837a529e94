#include "platform/http/SessionEngine.h"

#include "platform/foundation/MainQueue.h"
#include "platform/http/Transfer.h"
#include "platform/http/TrustContexts.h"

#include <curl/curl.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

namespace platform::http {

namespace {

// Connections kept open to one host at a time; later requests wait for one.
constexpr long kMaximumConnectionsPerHost = 6;
// Easy handles kept for the next requests once their transfers end.
constexpr std::size_t kSpareHandles = 8;

std::once_flag curlInitialisation;

}

struct SessionEngine::Impl {
    CURLM* multi { nullptr };
    std::map<CURL*, std::unique_ptr<Transfer>> running;
    std::vector<CURL*> spareHandles;
    TrustContexts trustContexts;

    // What libcurl asked to wait for: each socket's events, and when to call it back.
    std::map<curl_socket_t, short> sockets;
    std::optional<Deadline> deadline;

    CURL* takeHandle();
    void returnHandle(CURL* easy);
    void add(CURL* easy);
    /// Lets libcurl act on `socket` (or on its time-out), then finishes what ended.
    void act(curl_socket_t socket, int events);
    void finish(CURL* easy, CURLcode code);

    static int watchSocket(CURL*, curl_socket_t socket, int what, void* user, void*);
    static int setTimer(CURLM*, long milliseconds, void* user);
};

SessionEngine::SessionEngine()
    : m_impl(std::make_unique<Impl>())
{
    std::call_once(curlInitialisation, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    CURLM* multi = curl_multi_init();
    m_impl->multi = multi;
    curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, kMaximumConnectionsPerHost);
    curl_multi_setopt(multi, CURLMOPT_SOCKETFUNCTION, Impl::watchSocket);
    curl_multi_setopt(multi, CURLMOPT_SOCKETDATA, m_impl.get());
    curl_multi_setopt(multi, CURLMOPT_TIMERFUNCTION, Impl::setTimer);
    curl_multi_setopt(multi, CURLMOPT_TIMERDATA, m_impl.get());
    foundation::mainQueue().addSource(*this);
}

SessionEngine::~SessionEngine()
{
    foundation::mainQueue().removeSource(*this);
    for (auto& [easy, transfer] : m_impl->running)
        curl_multi_remove_handle(m_impl->multi, easy);
    m_impl->running.clear();
    for (CURL* easy : m_impl->spareHandles)
        curl_easy_cleanup(easy);
    curl_multi_cleanup(m_impl->multi);
}

void SessionEngine::start(const std::shared_ptr<Task>& task, const Options& options, Completion completion)
{
    task->m_engine = weak_from_this();
    auto transfer = std::make_unique<Transfer>(task, options, std::move(completion));
    transfer->begin(m_impl->takeHandle(), m_impl->trustContexts);
    CURL* easy = transfer->easy();
    m_impl->running.emplace(easy, std::move(transfer));
    m_impl->add(easy);
}

void SessionEngine::perform(
    const std::shared_ptr<Task>& task, const Options& options, const Completion& completion)
{
    std::call_once(curlInitialisation, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    TrustContexts trust;
    Transfer transfer(task, options, nullptr);
    transfer.begin(curl_easy_init(), trust);
    while (transfer.endHop(curl_easy_perform(transfer.easy())) == Transfer::Hop::Redirected)
        ;
    curl_easy_cleanup(transfer.releaseHandle());
    applyResponse(*task, transfer.status(), std::move(transfer.responseHeaders()));
    completion(*task, transfer.outcome());
}

void SessionEngine::cancel(const Task& task)
{
    auto& running = m_impl->running;
    auto found = std::find_if(running.begin(), running.end(),
        [&](const auto& entry) { return entry.second->task().get() == &task; });
    if (found == running.end())
        return;
    curl_multi_remove_handle(m_impl->multi, found->first);
    auto transfer = std::shared_ptr<Transfer>(std::move(found->second));
    running.erase(found);
    m_impl->returnHandle(transfer->releaseHandle());
    // The callbacks may hold what called cancel(): they are let go once it has returned.
    foundation::mainQueue().async([transfer = std::move(transfer)] {});
}

std::optional<SessionEngine::Deadline> SessionEngine::prepare(std::vector<pollfd>& descriptors)
{
    for (auto [socket, events] : m_impl->sockets)
        descriptors.push_back({ socket, events, 0 });
    return m_impl->deadline;
}

void SessionEngine::dispatch(std::span<const pollfd> descriptors)
{
    // A held reference: a completion cannot run here, but a trust check could let go of the manager.
    auto self = shared_from_this();
    for (const pollfd& entry : descriptors) {
        if (!entry.revents)
            continue;
        int events = 0;
        if (entry.revents & (POLLIN | POLLHUP))
            events |= CURL_CSELECT_IN;
        if (entry.revents & POLLOUT)
            events |= CURL_CSELECT_OUT;
        if (entry.revents & (POLLERR | POLLNVAL))
            events |= CURL_CSELECT_ERR;
        m_impl->act(entry.fd, events);
    }
    if (m_impl->deadline && std::chrono::steady_clock::now() >= *m_impl->deadline)
        m_impl->act(CURL_SOCKET_TIMEOUT, 0);
}

CURL* SessionEngine::Impl::takeHandle()
{
    if (spareHandles.empty())
        return curl_easy_init();
    CURL* easy = spareHandles.back();
    spareHandles.pop_back();
    return easy;
}

void SessionEngine::Impl::returnHandle(CURL* easy)
{
    if (spareHandles.size() < kSpareHandles)
        spareHandles.push_back(easy);
    else
        curl_easy_cleanup(easy);
}

// The request goes out at once when a connection is open, before the main queue next waits.
void SessionEngine::Impl::add(CURL* easy)
{
    curl_multi_add_handle(multi, easy);
    act(CURL_SOCKET_TIMEOUT, 0);
}

void SessionEngine::Impl::act(curl_socket_t socket, int events)
{
    if (socket == CURL_SOCKET_TIMEOUT)
        deadline.reset();
    int active = 0;
    curl_multi_socket_action(multi, socket, events, &active);
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
        if (message->msg == CURLMSG_DONE)
            finish(message->easy_handle, message->data.result);
    }
}

void SessionEngine::Impl::finish(CURL* easy, CURLcode code)
{
    auto found = running.find(easy);
    if (found == running.end())
        return;
    curl_multi_remove_handle(multi, easy);
    if (found->second->endHop(code) == Transfer::Hop::Redirected) {
        add(easy);
        return;
    }
    auto transfer = std::shared_ptr<Transfer>(std::move(found->second));
    running.erase(found);
    returnHandle(transfer->releaseHandle());
    foundation::mainQueue().async([transfer = std::move(transfer)] {
        Task& task = *transfer->task();
        auto engine = task.m_engine.lock();
        if (!engine || task.isCancelled())
            return;
        applyResponse(task, transfer->status(), std::move(transfer->responseHeaders()));
        transfer->completion()(task, transfer->outcome());
    });
}

int SessionEngine::Impl::watchSocket(CURL*, curl_socket_t socket, int what, void* user, void*)
{
    auto* impl = static_cast<Impl*>(user);
    if (what == CURL_POLL_REMOVE) {
        impl->sockets.erase(socket);
    } else {
        short events = 0;
        if (what & CURL_POLL_IN)
            events |= POLLIN;
        if (what & CURL_POLL_OUT)
            events |= POLLOUT;
        impl->sockets[socket] = events;
    }
    return 0;
}

int SessionEngine::Impl::setTimer(CURLM*, long milliseconds, void* user)
{
    auto* impl = static_cast<Impl*>(user);
    if (milliseconds < 0)
        impl->deadline.reset();
    else
        impl->deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    return 0;
}

void SessionEngine::applyResponse(Task& task, int statusCode, Task::Headers headers)
{
    task.m_statusCode = statusCode;
    task.m_responseHeaders = std::move(headers);
    task.m_engine.reset();
}

}
