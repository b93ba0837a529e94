#include "testing/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace testing {

namespace {

// A pipe whose descriptors close in any program started later (the child gets its ends by dup2).
bool makePipe(int (&ends)[2])
{
    return pipe2(ends, O_CLOEXEC) == 0;
}

void closeBoth(int (&ends)[2])
{
    close(ends[0]);
    close(ends[1]);
}

}

ChildProcess::ChildProcess(std::vector<std::string> arguments, ExtraPipes extra)
{
    // The child's ends: 0 stdin, 1 stdout, 2 descriptor 3, 3 descriptor 4.
    int pipes[4][2];
    int count = extra == ExtraPipes::ThreeAndFour ? 4 : 2;
    for (int i = 0; i < count; ++i) {
        if (!makePipe(pipes[i])) {
            for (int j = 0; j < i; ++j)
                closeBoth(pipes[j]);
            return;
        }
    }
    // Which end the child keeps: it reads stdin and descriptor 3, writes stdout and descriptor 4.
    constexpr int childEnd[4] = { 0, 1, 0, 1 };
    constexpr int target[4] = { STDIN_FILENO, STDOUT_FILENO, 3, 4 };
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int i = 0; i < count; ++i)
        posix_spawn_file_actions_adddup2(&actions, pipes[i][childEnd[i]], target[i]);
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    if (argv.size() < 2 || posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    for (int i = 0; i < count; ++i)
        close(pipes[i][childEnd[i]]);
    m_input = pipes[0][1];
    m_output = pipes[1][0];
    if (count == 4) {
        m_pipeInput = pipes[2][1];
        m_pipeOutput = pipes[3][0];
    }
}

ChildProcess::~ChildProcess()
{
    closeInput();
    for (int descriptor : { m_output, m_pipeInput, m_pipeOutput })
        if (descriptor >= 0)
            close(descriptor);
    if (m_pid > 0 && !m_status) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

void ChildProcess::write(const std::string& text)
{
    writeAll(m_input, text);
}

void ChildProcess::writeToPipe(const std::string& bytes)
{
    writeAll(m_pipeInput, bytes);
}

void ChildProcess::writeAll(int descriptor, const std::string& bytes)
{
    std::size_t done = 0;
    while (descriptor >= 0 && done < bytes.size()) {
        auto written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
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
    return readRecord(m_output, m_buffer, '\n', timeout);
}

std::optional<std::string> ChildProcess::readFromPipe(char delimiter, std::chrono::milliseconds timeout)
{
    return readRecord(m_pipeOutput, m_pipeBuffer, delimiter, timeout);
}

std::optional<std::string> ChildProcess::readRecord(
    int descriptor, std::string& buffer, char delimiter, std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    std::size_t searched = 0;
    std::size_t end;
    while ((end = buffer.find(delimiter, searched)) == std::string::npos) {
        searched = buffer.size();
        if (!readSome(descriptor, buffer, deadline))
            return std::nullopt;
    }
    std::string record = buffer.substr(0, end);
    buffer.erase(0, end + 1);
    return record;
}

std::string ChildProcess::readAll(std::chrono::milliseconds timeout)
{
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (readSome(m_output, m_buffer, deadline)) { }
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

// Appends what the program writes next on `descriptor` to the buffer; false once it closed that output or
// the deadline passed.
bool ChildProcess::readSome(
    int descriptor, std::string& buffer, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (descriptor < 0 || left.count() <= 0)
            return false;
        pollfd ready { descriptor, POLLIN, 0 };
        int polled = poll(&ready, 1, int(left.count()));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled < 0)
            return false;
        if (polled == 0)
            continue;
        char chunk[65536];
        auto count = read(descriptor, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        buffer.append(chunk, std::size_t(count));
        return true;
    }
}

std::string commandOutput(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char chunk[4096];
        while (std::fgets(chunk, sizeof chunk, pipe))
            output += chunk;
        pclose(pipe);
    }
    return output;
}

}
