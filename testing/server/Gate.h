#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace testing {

/// Holds the threads that wait at it until open() or until the gate goes out of scope. A test holds a
/// server's answer with it (from an answer observer) for as long as it needs a request in flight, instead
/// of delaying the answer by a time a busy machine may outlast. A thread may still be waking when the test
/// ends, so what it waits on is shared with it.
class Gate {
public:
    Gate() = default;
    /// Opens the gate.
    ~Gate();
    Gate(const Gate&) = delete;
    Gate& operator=(const Gate&) = delete;

    /// What a waiting thread calls: it returns once the gate is open.
    std::function<void()> waiting() const;
    /// Lets every waiting thread, and every later one, through.
    void open();

private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        bool open { false };
    };
    std::shared_ptr<State> m_state { std::make_shared<State>() };
};

}
