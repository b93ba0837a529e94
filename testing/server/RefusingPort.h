#pragma once

#include <string>
#include <string_view>

namespace testing {

/// A port on 127.0.0.1 that refuses connections for as long as the object lives: bound, never listening.
/// A test that needs a refused connection uses one rather than the port of a server it stopped, which
/// another test running at the same time may be given and listen on.
class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;

    /// The port, or 0 when none could be bound.
    int port() const { return m_port; }
    /// "http://127.0.0.1:<port>" followed by `path`.
    std::string url(std::string_view path) const;

private:
    int m_socket { -1 };
    int m_port { 0 };
};

}
