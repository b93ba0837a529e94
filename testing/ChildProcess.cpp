#include "testing/ChildProcess.h"

#include <csignal>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace testing {

ChildProcess::ChildProcess(std::vector<std::string> arguments)
{
    int input[2];
    int output[2];
    if (pipe(input) != 0)
        return;
    if (pipe(output) != 0) {
        close(input[0]);
        close(input[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, input[1]);
    posix_spawn_file_actions_addclose(&actions, output[0]);
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    if (argv.size() < 2 || posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    close(output[1]);
    m_input = input[1];
    m_output = output[0];
}

ChildProcess::~ChildProcess()
{
    closeInput();
    if (m_output >= 0)
        close(m_output);
    if (m_pid > 0 && !m_status) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

void ChildProcess::write(const std::string& text)
{
    std::size_t done = 0;
    while (m_input >= 0 && done < text.size()) {
        auto written = ::write(m_input, text.data() + done, text.size() - done);
        if (written <= 0)
            return;
        done += std::size_t(written);
    }
}

void ChildProcess::closeInput()
{
    if (m_input >= 0)
        close(m_input);
    m_input = -1;
}

void ChildProcess::signal(int number)
{
    if (m_pid > 0 && !m_status)
        kill(m_pid, number);
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_buffer.find('\n') == std::string::npos) {
        if (!readSome(deadline))
            return std::nullopt;
    }
    auto end = m_buffer.find('\n');
    std::string line = m_buffer.substr(0, end);
    m_buffer.erase(0, end + 1);
    return line;
}

std::string ChildProcess::readAll(std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (readSome(deadline)) { }
    std::string all = m_buffer;
    m_buffer.clear();
    return all;
}

std::optional<int> ChildProcess::wait(std::chrono::milliseconds timeout)
{
    if (!reap(timeout) || !WIFEXITED(*m_status))
        return std::nullopt;
    return WEXITSTATUS(*m_status);
}

std::optional<int> ChildProcess::deathSignal(std::chrono::milliseconds timeout)
{
    if (!reap(timeout) || !WIFSIGNALED(*m_status))
        return std::nullopt;
    return WTERMSIG(*m_status);
}

// Waits up to `timeout` for the program to end; true once its status is known.
bool ChildProcess::reap(std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!m_status && m_pid > 0) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_status = status;
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return m_status.has_value();
}

// Appends what the program writes next to the buffer; false once it closed its output or the deadline passed.
bool ChildProcess::readSome(std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (m_output < 0 || left.count() <= 0)
            return false;
        pollfd ready { m_output, POLLIN, 0 };
        int polled = poll(&ready, 1, int(left.count()));
        if (polled < 0)
            return false;
        if (polled == 0)
            continue;
        char chunk[4096];
        auto count = read(m_output, chunk, sizeof chunk);
        if (count <= 0)
            return false;
        m_buffer.append(chunk, std::size_t(count));
        return true;
    }
}

}
