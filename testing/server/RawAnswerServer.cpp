#include "testing/server/RawAnswerServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace testing {

namespace {

// How often the serving thread looks whether it should stop.
constexpr int kStopPollMilliseconds = 20;

std::size_t contentLength(std::string_view headers)
{
    std::string lower(headers);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    auto at = lower.find("\r\ncontent-length:");
    if (at == std::string::npos)
        return 0;
    return std::strtoul(lower.c_str() + at + 17, nullptr, 10);
}

}

struct RawAnswerServer::State {
    std::string answer;
    double stallSeconds { 0 };
    int listener { -1 };
    int port { 0 };
    std::atomic<bool> stopping { false };
    std::atomic<int> requests { 0 };
    std::thread thread;

    // Waits until `descriptor` is readable; false when the server stops first.
    bool waitReadable(int descriptor) const
    {
        while (!stopping.load()) {
            pollfd entry { descriptor, POLLIN, 0 };
            if (poll(&entry, 1, kStopPollMilliseconds) > 0)
                return true;
        }
        return false;
    }

    bool readRequest(int connection)
    {
        std::string received;
        char buffer[4096];
        while (received.find("\r\n\r\n") == std::string::npos) {
            if (!waitReadable(connection))
                return false;
            auto count = recv(connection, buffer, sizeof buffer, 0);
            if (count <= 0)
                return false;
            received.append(buffer, static_cast<std::size_t>(count));
        }
        auto headerEnd = received.find("\r\n\r\n") + 4;
        std::size_t wanted = headerEnd + contentLength(std::string_view(received).substr(0, headerEnd));
        while (received.size() < wanted) {
            if (!waitReadable(connection))
                return false;
            auto count = recv(connection, buffer, sizeof buffer, 0);
            if (count <= 0)
                return false;
            received.append(buffer, static_cast<std::size_t>(count));
        }
        return true;
    }

    void serve(int connection)
    {
        if (!readRequest(connection))
            return;
        requests++;
        std::size_t sent = 0;
        while (sent < answer.size()) {
            auto count = send(connection, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
            if (count <= 0)
                return;
            sent += static_cast<std::size_t>(count);
        }
        auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(stallSeconds);
        while (!stopping.load() && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(kStopPollMilliseconds));
    }

    void run()
    {
        while (waitReadable(listener)) {
            int connection = accept(listener, nullptr, nullptr);
            if (connection < 0)
                continue;
            serve(connection);
            shutdown(connection, SHUT_RDWR);
            close(connection);
        }
    }
};

RawAnswerServer::RawAnswerServer(std::string answer, double stallSeconds)
    : m_state(std::make_unique<State>())
{
    m_state->answer = std::move(answer);
    m_state->stallSeconds = stallSeconds;
    m_state->listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_state->listener < 0 || bind(m_state->listener, reinterpret_cast<sockaddr*>(&address), length) != 0
        || listen(m_state->listener, 16) != 0
        || getsockname(m_state->listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("RawAnswerServer: cannot listen on 127.0.0.1");
    m_state->port = ntohs(address.sin_port);
    m_state->thread = std::thread([state = m_state.get()] { state->run(); });
}

RawAnswerServer::~RawAnswerServer()
{
    m_state->stopping = true;
    m_state->thread.join();
    close(m_state->listener);
}

std::string RawAnswerServer::url(std::string_view path) const
{
    return "http://127.0.0.1:" + std::to_string(m_state->port) + std::string(path);
}

int RawAnswerServer::requestCount() const
{
    return m_state->requests.load();
}

}
