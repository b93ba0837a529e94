#pragma once

#include "platform/ui/ScreenDriver.h"

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>

namespace zorvik {

/// Runs the `zorvik` program's commands: the screen driver's (platform/ui/DRIVER.md) and the program's own:
///
///   wait <seconds>    lets the time pass in real time (see `realTimeWait`), so that the back-end's answers
///                     arrive meanwhile
///   kit               the kit platform's state (see kitStatus())
///   help              the driver's list of commands with the program's own
///
/// Each command's output goes to the output stream; a failed command prints "error: " and why. Main thread
/// only.
class CommandSession {
public:
    /// Lets `seconds` pass in real time on the main queue.
    using RealTimeWait = std::function<void(double seconds)>;

    /// A session printing to `output`, which with `echo` prints each command after "> " first, and waits
    /// with `realTimeWait`.
    CommandSession(std::ostream& output, bool echo, RealTimeWait realTimeWait);

    /// Runs one command line.
    void run(const std::string& line);
    /// How many commands failed so far.
    std::size_t failures() const { return m_failures; }

    /// The list of commands the help command prints.
    static std::string commandsHelp();

private:
    std::string execute(const std::string& line);

    std::ostream& m_output;
    bool m_echo { false };
    RealTimeWait m_realTimeWait;
    platform::ui::ScreenDriver m_driver;
    std::size_t m_failures { 0 };
};

}
