#include "testing/server/LoopbackServer.h"

#include "platform/foundation/Dictionary.h"
#include "testing/server/RawBodies.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <csignal>
#include <filesystem>
#include <netinet/in.h>
#include <stdexcept>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace testing {

namespace {

// Enough threads that the connections a few clients keep open never
// starve a new one; idle connections close after this many seconds.
constexpr std::size_t kServerThreads = 32;
constexpr time_t kKeepAliveSeconds = 2;
constexpr std::size_t kRequestsPerConnection = 100000;

struct Pattern {
    std::string method;
    std::vector<std::string> segments;
    bool trailingWildcard { false };
};

std::vector<std::string> segmentsOf(std::string_view path)
{
    std::vector<std::string> segments;
    std::size_t start = path.starts_with("/") ? 1 : 0;
    while (start <= path.size()) {
        auto slash = path.find('/', start);
        auto end = slash == std::string_view::npos ? path.size() : slash;
        segments.emplace_back(path.substr(start, end - start));
        start = end + 1;
    }
    return segments;
}

Pattern patternOf(std::string_view method, std::string_view text)
{
    Pattern pattern { std::string(method), segmentsOf(text) };
    if (!pattern.segments.empty() && pattern.segments.back() == "*") {
        pattern.segments.pop_back();
        pattern.trailingWildcard = true;
    }
    return pattern;
}

bool matches(const Pattern& pattern, const std::string& method, const std::vector<std::string>& segments,
    std::map<std::string, std::string, std::less<>>& parameters)
{
    if (pattern.method != "*" && pattern.method != method && !(pattern.method == "GET" && method == "HEAD"))
        return false;
    if (pattern.trailingWildcard ? segments.size() < pattern.segments.size()
                                 : segments.size() != pattern.segments.size())
        return false;
    std::map<std::string, std::string, std::less<>> found;
    for (std::size_t index = 0; index < pattern.segments.size(); ++index) {
        const auto& expected = pattern.segments[index];
        if (expected.starts_with(":"))
            found[expected.substr(1)] = segments[index];
        else if (expected != segments[index])
            return false;
    }
    parameters = std::move(found);
    return true;
}

// Literal segments beat ":name" segments, position by position; then a
// pattern without a trailing "*" beats one with it; then a longer one
// beats a shorter one.
bool moreSpecific(const Pattern& candidate, const Pattern& other)
{
    auto rank = [](const std::string& segment) { return segment.starts_with(":") ? 1 : 2; };
    auto shared = std::min(candidate.segments.size(), other.segments.size());
    for (std::size_t index = 0; index < shared; ++index) {
        if (rank(candidate.segments[index]) != rank(other.segments[index]))
            return rank(candidate.segments[index]) > rank(other.segments[index]);
    }
    if (candidate.trailingWildcard != other.trailingWildcard)
        return !candidate.trailingWildcard;
    return candidate.segments.size() > other.segments.size();
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string decoded(std::string_view text)
{
    std::string result;
    for (std::size_t index = 0; index < text.size(); ++index) {
        char c = text[index];
        if (c == '+') {
            result += ' ';
        } else if (c == '%' && index + 2 < text.size() && hexValue(text[index + 1]) >= 0
            && hexValue(text[index + 2]) >= 0) {
            result += static_cast<char>(hexValue(text[index + 1]) * 16 + hexValue(text[index + 2]));
            index += 2;
        } else {
            result += c;
        }
    }
    return result;
}

ServerRequest::Pairs pairsOf(std::string_view query)
{
    ServerRequest::Pairs pairs;
    while (!query.empty()) {
        auto amp = query.find('&');
        auto pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty())
            continue;
        auto equals = pair.find('=');
        if (equals == std::string_view::npos)
            pairs.emplace_back(decoded(pair), "");
        else
            pairs.emplace_back(decoded(pair.substr(0, equals)), decoded(pair.substr(equals + 1)));
    }
    return pairs;
}

int portOf(const sockaddr_storage& address)
{
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return -1;
}

// The ports of a connected socket, or nullopt for anything else.
std::optional<std::pair<int, int>> portsOf(int descriptor)
{
    sockaddr_storage local {};
    sockaddr_storage peer {};
    socklen_t localLength = sizeof local;
    socklen_t peerLength = sizeof peer;
    if (getsockname(descriptor, reinterpret_cast<sockaddr*>(&local), &localLength) != 0
        || getpeername(descriptor, reinterpret_cast<sockaddr*>(&peer), &peerLength) != 0)
        return std::nullopt;
    return std::make_pair(portOf(local), portOf(peer));
}

// Shuts down this process's connected sockets whose local port is
// `localPort` and, when given, whose peer's port is `peerPort`: the
// server's side of its connections (a client's own sockets have the
// server's port as their peer's, not their own).
void shutDownConnections(int localPort, std::optional<int> peerPort)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        int descriptor = -1;
        try {
            descriptor = std::stoi(entry.path().filename().string());
        } catch (const std::exception&) {
            continue;
        }
        auto ports = portsOf(descriptor);
        if (ports && ports->first == localPort && (!peerPort || ports->second == *peerPort))
            ::shutdown(descriptor, SHUT_RDWR);
    }
}

}

struct LoopbackServer::State {
    struct Route {
        Pattern pattern;
        Handler handler;
    };
    struct Script {
        Pattern pattern;
        ServerResponse response;
        std::optional<std::size_t> remaining;
    };
    struct NextAnswer {
        ServerResponse response;
        std::size_t remaining;
    };

    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    int port { 0 };
    bool secure { false };

    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    bool stopped { false };
    std::vector<Route> routes;
    std::vector<Script> scripts;
    std::deque<NextAnswer> next;
    std::vector<ServerRequest> received;
    AnswerObserver answered;

    void start();
    void handle(const httplib::Request& request, httplib::Response& response);
    ServerResponse answer(ServerRequest& request);
};

void LoopbackServer::State::start()
{
    // A peer that hangs up mid-answer must not end the test process.
    std::signal(SIGPIPE, SIG_IGN);
    server->new_task_queue = [] { return new httplib::ThreadPool(kServerThreads); };
    server->set_keep_alive_timeout(kKeepAliveSeconds);
    server->set_keep_alive_max_count(kRequestsPerConnection);
    // An answer goes out as headers and body in two writes; without this the
    // body waits for the client's delayed acknowledgement of the headers.
    server->set_tcp_nodelay(true);
    keepRawBodies(*server);
    auto handler
        = [this](const httplib::Request& request, httplib::Response& response) { handle(request, response); };
    server->Get(".*", handler);
    server->Post(".*", handler);
    server->Put(".*", handler);
    server->Patch(".*", handler);
    server->Delete(".*", handler);
    server->Options(".*", handler);
    port = server->bind_to_any_port("127.0.0.1");
    if (port <= 0)
        throw std::runtime_error("The loopback server could not bind to 127.0.0.1");
    auto listening = std::make_shared<std::atomic<bool>>(true);
    thread = std::thread([this, listening] {
        server->listen_after_bind();
        listening->store(false);
    });
    // stop() only takes effect once the server runs.
    while (!server->is_running() && listening->load())
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void LoopbackServer::State::handle(const httplib::Request& request, httplib::Response& response)
{
    ServerRequest received;
    received.method = request.method;
    received.path = request.path;
    received.target = request.target;
    if (auto question = request.target.find('?'); question != std::string::npos) {
        received.rawQuery = request.target.substr(question + 1);
        received.query = pairsOf(received.rawQuery);
    }
    auto headers = request.headers;
    unmaskContentType(headers);
    received.headers.assign(headers.begin(), headers.end());
    received.body = request.body;

    ServerResponse answer = this->answer(received);
    if (answer.delay > 0) {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, std::chrono::duration<double>(answer.delay), [this] { return stopped; });
    }
    AnswerObserver observer;
    {
        std::lock_guard lock(mutex);
        observer = answered;
    }
    if (observer)
        observer(received, answer.drop ? 0 : answer.status);
    if (answer.drop) {
        shutDownConnections(request.local_port, request.remote_port);
        return;
    }
    response.status = answer.status;
    for (const auto& [name, value] : answer.headers)
        response.set_header(name, value);
    response.set_content(answer.body, answer.contentType.c_str());
}

ServerResponse LoopbackServer::State::answer(ServerRequest& request)
{
    auto segments = segmentsOf(request.path);
    Handler handler;
    std::optional<ServerResponse> scripted;
    {
        std::lock_guard lock(mutex);
        if (!next.empty()) {
            scripted = next.front().response;
            if (--next.front().remaining == 0)
                next.pop_front();
        }
        for (auto script = scripts.rbegin(); !scripted && script != scripts.rend(); ++script) {
            if (matches(script->pattern, request.method, segments, request.parameters)) {
                scripted = script->response;
                if (script->remaining && --*script->remaining == 0)
                    scripts.erase(std::next(script).base());
            }
        }
        const Route* chosen = nullptr;
        for (auto route = routes.rbegin(); !scripted && route != routes.rend(); ++route) {
            std::map<std::string, std::string, std::less<>> parameters;
            if (matches(route->pattern, request.method, segments, parameters)
                && (!chosen || moreSpecific(route->pattern, chosen->pattern))) {
                chosen = &*route;
                request.parameters = std::move(parameters);
            }
        }
        if (chosen)
            handler = chosen->handler;
        received.push_back(request);
    }
    changed.notify_all();
    if (scripted)
        return *scripted;
    if (handler)
        return handler(request);
    return ServerResponse::json(404, platform::foundation::Dictionary::make({ { "error", "not found" } }));
}

LoopbackServer::LoopbackServer()
    : m_state(std::make_unique<State>())
{
    m_state->server = std::make_unique<httplib::Server>();
    m_state->start();
}

LoopbackServer::LoopbackServer(const TlsIdentity& identity)
    : m_state(std::make_unique<State>())
{
    m_state->server = std::make_unique<httplib::SSLServer>(
        identity.certificateFile.c_str(), identity.privateKeyFile.c_str());
    if (!m_state->server->is_valid())
        throw std::runtime_error("The loopback server could not load its TLS identity");
    m_state->secure = true;
    m_state->start();
}

LoopbackServer::~LoopbackServer()
{
    stop();
}

int LoopbackServer::port() const
{
    return m_state->port;
}

std::string LoopbackServer::baseUrl() const
{
    return std::string(m_state->secure ? "https" : "http") + "://127.0.0.1:" + std::to_string(m_state->port);
}

std::string LoopbackServer::url(std::string_view path) const
{
    return baseUrl() + std::string(path);
}

void LoopbackServer::route(std::string_view method, std::string_view pattern, Handler handler)
{
    std::lock_guard lock(m_state->mutex);
    m_state->routes.push_back({ patternOf(method, pattern), std::move(handler) });
}

void LoopbackServer::script(std::string_view method, std::string_view pattern, ServerResponse response,
    std::optional<std::size_t> times)
{
    if (times == std::size_t { 0 })
        return;
    std::lock_guard lock(m_state->mutex);
    m_state->scripts.push_back({ patternOf(method, pattern), std::move(response), times });
}

void LoopbackServer::scriptNext(ServerResponse response, std::size_t count)
{
    if (count == 0)
        return;
    std::lock_guard lock(m_state->mutex);
    m_state->next.push_back({ std::move(response), count });
}

void LoopbackServer::clearScripts()
{
    std::lock_guard lock(m_state->mutex);
    m_state->scripts.clear();
    m_state->next.clear();
}

std::vector<ServerRequest> LoopbackServer::requests() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->received;
}

std::size_t LoopbackServer::requestCount() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->received.size();
}

std::optional<ServerRequest> LoopbackServer::lastRequest() const
{
    std::lock_guard lock(m_state->mutex);
    if (m_state->received.empty())
        return std::nullopt;
    return m_state->received.back();
}

void LoopbackServer::setAnswerObserver(AnswerObserver observer)
{
    std::lock_guard lock(m_state->mutex);
    m_state->answered = std::move(observer);
}

void LoopbackServer::clearRequests()
{
    std::lock_guard lock(m_state->mutex);
    m_state->received.clear();
}

bool LoopbackServer::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(m_state->mutex);
    return m_state->changed.wait_for(lock, timeout, [&] { return m_state->received.size() >= count; });
}

void LoopbackServer::stop()
{
    {
        std::lock_guard lock(m_state->mutex);
        if (m_state->stopped)
            return;
        m_state->stopped = true;
    }
    m_state->changed.notify_all();
    m_state->server->stop();
    // Connections a client keeps open would hold the server's threads until
    // they idle out; end them now.
    shutDownConnections(m_state->port, std::nullopt);
    m_state->thread.join();
}

}
