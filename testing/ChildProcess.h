#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testing {

/// A program run as a child with pipes on its standard input and output; killed when the object goes away
/// before it has ended. Tests use one to run the project's programs (the app, the standalone back-end).
class ChildProcess {
public:
    /// Pipes besides standard input and output.
    enum class ExtraPipes {
        None,
        /// The program reads from descriptor 3 and writes to descriptor 4 (as a browser's DevTools pipe).
        ThreeAndFour,
    };

    /// Starts `arguments` (the program's path first).
    explicit ChildProcess(std::vector<std::string> arguments, ExtraPipes extra = ExtraPipes::None);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    /// Whether the program started.
    bool started() const { return m_pid > 0; }

    /// Writes `text` to the program's standard input.
    void write(const std::string& text);
    /// Closes the program's standard input.
    void closeInput();
    /// Sends the signal `number` to the program.
    void signal(int number);

    /// The next line the program writes (without its newline), waiting up to `timeout`; nullopt when none
    /// came.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    /// Everything the program writes until it closes its output, waiting up to `timeout`.
    std::string readAll(std::chrono::milliseconds timeout);

    /// Writes `bytes` to the program's descriptor 3 (nothing without the extra pipes).
    void writeToPipe(const std::string& bytes);
    /// The next record the program writes to descriptor 4, up to (and without) `delimiter`, waiting up to
    /// `timeout`; nullopt when none came or there is no such pipe.
    std::optional<std::string> readFromPipe(char delimiter, std::chrono::milliseconds timeout);

    /// The exit status, waiting up to `timeout` for the program to end; nullopt when it did not end, or ended
    /// by a signal.
    std::optional<int> wait(std::chrono::milliseconds timeout);
    /// The signal the program died by, waiting up to `timeout` for it to end; nullopt when it did not end, or
    /// exited.
    std::optional<int> deathSignal(std::chrono::milliseconds timeout);

private:
    bool reap(std::chrono::milliseconds timeout);
    static bool readSome(int descriptor, std::string& buffer, std::chrono::steady_clock::time_point deadline);
    static std::optional<std::string> readRecord(
        int descriptor, std::string& buffer, char delimiter, std::chrono::milliseconds timeout);
    static void writeAll(int descriptor, const std::string& bytes);

    pid_t m_pid { -1 };
    int m_input { -1 };
    int m_output { -1 };
    int m_pipeInput { -1 };
    int m_pipeOutput { -1 };
    std::string m_buffer;
    std::string m_pipeBuffer;
    std::optional<int> m_status;
};

/// Runs `command` through the shell and returns what it wrote to standard output, once it has ended. Tests
/// use it to ask a real tool (readelf, addr2line, c++filt) for the answer the code must agree with.
std::string commandOutput(const std::string& command);

}
