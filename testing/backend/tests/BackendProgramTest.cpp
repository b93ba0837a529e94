#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace testing {
namespace {

using platform::foundation::Value;

// The zorvik-backend program run as a child with pipes on its standard input and output.
class Program {
public:
    explicit Program(std::vector<std::string> arguments)
    {
        int input[2];
        int output[2];
        if (pipe(input) != 0 || pipe(output) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, input[1]);
        posix_spawn_file_actions_addclose(&actions, output[0]);
        arguments.insert(arguments.begin(), ZORVIK_BACKEND_PROGRAM);
        std::vector<char*> argv;
        for (auto& argument : arguments)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(input[0]);
        close(output[1]);
        m_input = input[1];
        m_output = output[0];
    }

    ~Program()
    {
        closeInput();
        if (m_output >= 0)
            close(m_output);
        if (m_pid > 0 && !m_status) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }

    bool started() const { return m_pid > 0; }

    /// The first line the program writes, waiting up to five seconds.
    std::string firstLine()
    {
        std::string line;
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (line.find('\n') == std::string::npos && std::chrono::steady_clock::now() < deadline) {
            pollfd ready { m_output, POLLIN, 0 };
            if (poll(&ready, 1, 100) <= 0)
                continue;
            char buffer[128];
            auto count = read(m_output, buffer, sizeof buffer);
            if (count <= 0)
                break;
            line.append(buffer, static_cast<std::size_t>(count));
        }
        return line.substr(0, line.find('\n'));
    }

    void closeInput()
    {
        if (m_input >= 0)
            close(m_input);
        m_input = -1;
    }

    void signal(int number) { kill(m_pid, number); }

    /// The exit status once the program has ended within five seconds, else nullopt.
    std::optional<int> exitStatus()
    {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!m_status && std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid)
                m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return m_status;
    }

private:
    pid_t m_pid { -1 };
    int m_input { -1 };
    int m_output { -1 };
    std::optional<int> m_status;
};

// The port in "listening on 127.0.0.1:PORT", or 0.
int portOf(const std::string& line)
{
    const std::string prefix = "listening on 127.0.0.1:";
    return line.rfind(prefix, 0) == 0 ? std::atoi(line.c_str() + prefix.size()) : 0;
}

// A port that was free a moment ago.
int freePort()
{
    int descriptor = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(descriptor, reinterpret_cast<sockaddr*>(&address), &length);
    close(descriptor);
    return ntohs(address.sin_port);
}

Value getJson(int port, const char* path)
{
    httplib::Client http("127.0.0.1", port);
    auto answer = http.Get(path);
    return answer && answer->status == 200 ? platform::foundation::parseJson(answer->body).value : Value();
}

TEST(BackendProgramTest, ServesOnAnEphemeralPortUntilStopped)
{
    struct Case {
        const char* name;
        std::function<void(Program&)> stop;
    };
    const Case stops[] = {
        { "standard input closed", [](Program& program) { program.closeInput(); } },
        { "SIGTERM", [](Program& program) { program.signal(SIGTERM); } },
        { "SIGINT", [](Program& program) { program.signal(SIGINT); } },
    };
    for (const auto& test : stops) {
        SCOPED_TRACE(test.name);
        Program program({ "--port", "0", "--watch-stdin" });
        ASSERT_TRUE(program.started());
        auto port = portOf(program.firstLine());
        ASSERT_GT(port, 0);
        auto configuration = getJson(port, "/").dictionary();
        ASSERT_TRUE(configuration);
        EXPECT_EQ(configuration->get("redirectUrl"),
            Value("http://127.0.0.1:" + std::to_string(port) + "/upgrade"));
        test.stop(program);
        EXPECT_EQ(program.exitStatus(), 0);
    }
}

TEST(BackendProgramTest, ServesOnAGivenPort)
{
    auto wanted = freePort();
    Program program({ "--port", std::to_string(wanted) });
    ASSERT_TRUE(program.started());
    ASSERT_EQ(portOf(program.firstLine()), wanted);

    httplib::Client http("127.0.0.1", wanted);
    auto created = http.Post(
        "/api/freelancers", R"({"email":"sam@example.com","password":"1234"})", "application/json");
    ASSERT_TRUE(created);
    EXPECT_EQ(created->status, 200);
    EXPECT_EQ(platform::foundation::parseJson(created->body).value.dictionary()->get("email"),
        Value("sam@example.com"));
    auto duplicate
        = http.Post("/api/freelancers", R"({"email":"sam@example.com","password":"1"})", "application/json");
    ASSERT_TRUE(duplicate);
    EXPECT_EQ(duplicate->status, 422);
    auto hits = getJson(wanted, "/companies?search_term=kestrel%20point").array();
    ASSERT_TRUE(hits);
    EXPECT_EQ(hits->size(), 1u);
    EXPECT_EQ(getJson(wanted, "/").dictionary()->get("redirectUrl"),
        Value("http://127.0.0.1:" + std::to_string(wanted) + "/upgrade"));

    program.signal(SIGTERM);
    EXPECT_EQ(program.exitStatus(), 0);
}

TEST(BackendProgramTest, RefusesBadArguments)
{
    const std::vector<std::string> refused[]
        = { { "--port" }, { "--port", "70000" }, { "--port", "12ab" }, { "--port=80" }, { "--verbose" } };
    for (const auto& arguments : refused) {
        SCOPED_TRACE(arguments.back());
        Program program(arguments);
        ASSERT_TRUE(program.started());
        EXPECT_EQ(program.exitStatus(), 2);
    }
}

}
}
