#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform::foundation {

/// The system log: one line per message on stderr, such as
/// "[Cairn] completed configure" for a log made with the prefix "[Cairn]".
/// A test can capture the lines instead. Thread-safe.
class Log {
public:
    /// A log whose lines begin with `prefix` and a space; no prefix when empty.
    explicit Log(std::string prefix = {});

    /// Writes `message` as one line.
    void write(std::string_view message) const;

    /// Sends every line, from every Log, to `captured` instead of stderr (the
    /// line without its newline); an empty function goes back to stderr.
    /// When it returns, no other thread is still calling the former capture,
    /// so whatever that capture reads may go.
    static void setCapture(std::function<void(const std::string& line)> captured);

private:
    std::string m_prefix;
};

}
