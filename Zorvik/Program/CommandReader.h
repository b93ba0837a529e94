#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <thread>

namespace zorvik {

/// Feeds command lines to the main queue from a thread of its own, so that the app keeps running (timers,
/// the back-end's answers) while the next line is awaited: each line runs as a task on the main queue, and
/// the next is posted only when it has finished. At the end of the input `finished` runs on the main
/// queue.
class CommandReader {
public:
    /// A reader of `input` that hands each line to `runLine`; it starts reading at start().
    CommandReader(std::istream& input, std::function<void(const std::string& line)> runLine,
        std::function<void()> finished);
    /// Waits for the reading thread, which ends once `finished` has been posted.
    ~CommandReader();
    CommandReader(const CommandReader&) = delete;
    CommandReader& operator=(const CommandReader&) = delete;

    /// Starts reading; later calls do nothing.
    void start();

private:
    void read();

    std::istream& m_input;
    std::function<void(const std::string& line)> m_runLine;
    std::function<void()> m_finished;
    std::thread m_thread;
};

}
