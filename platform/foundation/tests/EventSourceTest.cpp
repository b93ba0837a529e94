#include "platform/foundation/EventSource.h"
#include "platform/foundation/MainQueue.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>
#include <utility>

namespace platform::foundation {
namespace {

using namespace std::chrono_literals;

/// A pipe the main queue waits on, and an optional deadline; it records what it was handed.
class PipeSource : public EventSource {
public:
    PipeSource()
    {
        EXPECT_EQ(pipe(m_pipe), 0);
        mainQueue().addSource(*this);
    }
    ~PipeSource() override
    {
        mainQueue().removeSource(*this);
        close(m_pipe[0]);
        close(m_pipe[1]);
    }

    void write() { EXPECT_EQ(::write(m_pipe[1], "x", 1), 1); }

    std::optional<Deadline> prepare(std::vector<pollfd>& descriptors) override
    {
        descriptors.push_back({ m_pipe[0], POLLIN, 0 });
        return deadline;
    }

    void dispatch(std::span<const pollfd> descriptors) override
    {
        EXPECT_TRUE(mainQueue().isMainThread());
        EXPECT_EQ(descriptors.size(), 1u);
        if (descriptors[0].revents & POLLIN) {
            char byte;
            EXPECT_EQ(read(m_pipe[0], &byte, 1), 1);
            reads++;
        }
        if (deadline && std::chrono::steady_clock::now() >= *deadline) {
            deadline.reset();
            deadlines++;
        }
        if (whenDispatched)
            std::exchange(whenDispatched, nullptr)();
    }

    std::optional<Deadline> deadline;
    /// Runs once, at the end of the next dispatch.
    std::function<void()> whenDispatched;
    int reads { 0 };
    int deadlines { 0 };

private:
    int m_pipe[2] {};
};

TEST(EventSource, WakesTheWaitingQueueWhenADescriptorIsReady)
{
    PipeSource source;
    std::thread writer([&] {
        std::this_thread::sleep_for(50ms);
        source.write();
    });
    auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(mainQueue().runUntil([&] { return source.reads == 1; }, 30s));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    writer.join();
}

TEST(EventSource, ADeadlineEndsTheWaitOnTime)
{
    PipeSource source;
    source.deadline = std::chrono::steady_clock::now() + 30ms;
    EXPECT_TRUE(mainQueue().runUntil([&] { return source.deadlines == 1; }, 30s));
    EXPECT_EQ(source.reads, 0);
}

TEST(EventSource, RunningDueTasksAlsoHandlesWhatIsReadyWithoutWaiting)
{
    PipeSource source;
    source.write();
    mainQueue().runUntilIdle();
    EXPECT_EQ(source.reads, 1);
    source.write();
    mainQueue().advance(1);
    EXPECT_EQ(source.reads, 2);
}

// The HTTP engine does this when a transfer's time-out passes between the queue's look and its dispatch.
TEST(EventSource, ATaskASourcePostsWhileNothingSeemedReadyRunsBeforeTheQueueIsIdle)
{
    PipeSource source;
    source.deadline = std::chrono::steady_clock::now() + 1h;
    bool ran = false;
    source.whenDispatched = [&] { mainQueue().async([&] { ran = true; }); };
    EXPECT_EQ(mainQueue().runUntilIdle(), 1u);
    EXPECT_TRUE(ran);
    EXPECT_EQ(mainQueue().pendingCount(), 0u);
}

TEST(EventSource, ARemovedSourceIsNoLongerAsked)
{
    PipeSource source;
    source.write();
    mainQueue().removeSource(source);
    mainQueue().runUntilIdle();
    EXPECT_EQ(source.reads, 0);
}

}
}
