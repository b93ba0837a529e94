#pragma once

#include <stdexcept>
#include <string>

namespace platform::foundation {

/// An exception with a name and a reason, for the few places where the design
/// names one (a store singleton's plain initialiser raises "Singleton").
class NamedException : public std::runtime_error {
public:
    NamedException(std::string name, std::string reason);

    /// The exception's name, such as "Singleton".
    const std::string& name() const { return m_name; }

    /// The human-readable reason.
    const std::string& reason() const { return m_reason; }

private:
    std::string m_name;
    std::string m_reason;
};

}
