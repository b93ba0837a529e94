#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
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

TEST(LogCapture, ReplacingACaptureWaitsForTheCallsOtherThreadsAreMaking)
{
    // A capture whose owner goes away once it has been replaced, as a test fixture does, while a
    // background thread is still logging through it.
    std::promise<void> entered;
    std::promise<void> release;
    std::atomic<bool> replaced { false };
    bool replacedWhileRunning { true };
    Log::setCapture([&](const std::string&) {
        entered.set_value();
        release.get_future().wait();
        replacedWhileRunning = replaced;
    });
    std::thread logger([] { Log("[T]").write("late line"); });
    entered.get_future().wait();
    std::thread replacer([&] {
        Log::setCapture({});
        replaced = true;
    });
    // Give the replacement time to go wrong: it must still be waiting when the capture ends.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    release.set_value();
    logger.join();
    replacer.join();
    EXPECT_FALSE(replacedWhileRunning);
}

TEST(LogCapture, ACaptureMayReplaceItself)
{
    std::vector<std::string> lines;
    Log::setCapture([&](const std::string& line) {
        lines.push_back(line);
        Log::setCapture({});
    });
    testing::internal::CaptureStderr();
    Log().write("first");
    Log().write("second");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "second\n");
    EXPECT_EQ(lines, std::vector<std::string> { "first" });
}

TEST(LogToStderr, WritesOneLineToStandardError)
{
    testing::internal::CaptureStderr();
    Log("[Cairn]").write("Cairn API Key is nil!");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "[Cairn] Cairn API Key is nil!\n");
}
