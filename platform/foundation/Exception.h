#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform::foundation {

/// An exception with a name and a reason, for the few places where the design
/// names one (a store singleton's plain initialiser raises "Singleton"). It
/// keeps the call stack it was made on, for crash reports.
class NamedException : public std::runtime_error {
public:
    NamedException(std::string name, std::string reason);

    /// The exception's name, such as "Singleton".
    const std::string& name() const { return m_name; }

    /// The human-readable reason.
    const std::string& reason() const { return m_reason; }

    /// Return addresses of the code that made the exception, innermost first.
    const std::vector<std::uintptr_t>& callStackReturnAddresses() const { return m_callStack; }

private:
    std::string m_name;
    std::string m_reason;
    std::vector<std::uintptr_t> m_callStack;
};

}
