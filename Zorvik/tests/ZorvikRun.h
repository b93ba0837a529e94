#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace zorvik::test {

/// One run of the zorvik program as a child process.
struct ProgramRun {
    std::string output;
    /// The exit status; none when the program died by a signal (see signal) or did not end.
    std::optional<int> status;
    /// The signal the program died by, if it did.
    std::optional<int> signal;
    std::chrono::steady_clock::duration took {};
};

/// Runs the zorvik program with `arguments`, `commands` on its standard input, until it ends.
ProgramRun runZorvik(std::vector<std::string> arguments, const std::string& commands = "");

/// The lines of `output` that start with `prefix`, without it, in order.
std::vector<std::string> linesAfter(const std::string& output, const std::string& prefix);

}
