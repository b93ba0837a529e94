#pragma once

#include <cstddef>

namespace platform::foundation {

/// A stack of the calling thread's own for signal handlers, so that a handler still runs when the thread's
/// stack has overflowed. Installed when made, taken away (and the thread's earlier one put back) when the
/// object goes; it must live on the thread that made it. A thread that already has one keeps it.
class AlternateSignalStack {
public:
    /// Size of the stack, a guard page below it not counted.
    static constexpr std::size_t kSize { 256 * 1024 };

    AlternateSignalStack();
    ~AlternateSignalStack();
    AlternateSignalStack(const AlternateSignalStack&) = delete;
    AlternateSignalStack& operator=(const AlternateSignalStack&) = delete;

    /// Whether this object installed a stack.
    bool installed() const { return m_mapping != nullptr; }

private:
    void* m_mapping { nullptr };
};

}
