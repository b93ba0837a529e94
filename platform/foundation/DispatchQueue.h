#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace platform::foundation {

/// A queue of background work on threads of its own: serial (one thread,
/// tasks run one at a time in posting order) or concurrent (several threads,
/// tasks start in posting order and may overlap). Results go back to the app
/// with mainQueue().async(...).
///
/// Destroying the queue lets every task already posted finish (including
/// tasks those tasks post), then joins its threads. A queue may be destroyed
/// from one of its own tasks: that thread is then let go rather than joined.
class DispatchQueue {
public:
    enum class Kind { Serial, Concurrent };

    /// Threads of a concurrent queue unless told otherwise.
    static constexpr std::size_t kDefaultConcurrency { 4 };

    /// A queue named `label` (for logs and crash reports) of the given kind;
    /// `threadCount` matters for a concurrent queue only.
    explicit DispatchQueue(
        std::string label, Kind kind = Kind::Serial, std::size_t threadCount = kDefaultConcurrency);
    /// Lets posted work finish, then joins the threads (see above).
    ~DispatchQueue();
    DispatchQueue(const DispatchQueue&) = delete;
    DispatchQueue& operator=(const DispatchQueue&) = delete;

    /// A shared concurrent queue for work that needs no queue of its own.
    static DispatchQueue& global();

    /// Posts `task` to run on one of the queue's threads. Thread-safe.
    void async(std::function<void()> task);

    /// Runs `task` on the queue and waits for it to finish. Called from one of
    /// the queue's own tasks it runs `task` at once (waiting would never end).
    void sync(const std::function<void()>& task);

    /// Waits until every task posted so far has finished and no task is running.
    void waitUntilIdle();

    /// The queue's name.
    const std::string& label() const;

    /// True on one of the queue's own threads.
    bool isCurrent() const;

private:
    struct State;

    std::string m_label;
    std::shared_ptr<State> m_state;
    std::vector<std::thread> m_threads;
};

}
