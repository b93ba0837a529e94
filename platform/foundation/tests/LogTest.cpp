#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

using platform::foundation::Log;

namespace {

// Captures every log line for one test.
class LogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Log::setCapture([this](const std::string& line) { m_lines.push_back(line); });
    }

    void TearDown() override { Log::setCapture({}); }

    std::vector<std::string> m_lines;
};

}

TEST_F(LogTest, LinesCarryTheLogsPrefix)
{
    Log("[Cairn]").write("completed configure");
    Log().write("plain message");
    Log("[Cairn]").write("");
    EXPECT_EQ(
        m_lines, (std::vector<std::string> { "[Cairn] completed configure", "plain message", "[Cairn] " }));
}

TEST_F(LogTest, ACaptureMayLogAndLinesFromThreadsAllArrive)
{
    std::vector<std::string> lines;
    Log::setCapture([&](const std::string& line) {
        lines.push_back(line);
        if (line == "outer")
            Log().write("inner");
    });
    Log().write("outer");
    EXPECT_EQ(lines, (std::vector<std::string> { "outer", "inner" }));

    std::mutex mutex;
    std::size_t count = 0;
    Log::setCapture([&](const std::string&) {
        std::lock_guard lock(mutex);
        ++count;
    });
    std::vector<std::thread> threads;
    for (int thread = 0; thread < 4; ++thread)
        threads.emplace_back([] {
            for (int line = 0; line < 100; ++line)
                Log("[T]").write("line");
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(count, 400u);
}

TEST(LogToStderr, WritesOneLineToStandardError)
{
    testing::internal::CaptureStderr();
    Log("[Cairn]").write("Cairn API Key is nil!");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[Cairn] Cairn API Key is nil!\n");
}
