#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kit {

/// One frame of a recorded call stack: its address and, once symbolicated, where it lies.
struct EMBStackFrame {
    std::uint64_t address { 0 };
    std::optional<std::string> symbol;
    std::uint64_t offset { 0 };
    std::optional<std::string> library;
    std::optional<std::string> fileName;
    std::uint64_t lineNumber { 0 };

    /// A frame that knows only its address.
    static EMBStackFrame stackFrameWithAddress(std::uint64_t address)
    {
        EMBStackFrame frame;
        frame.address = address;
        return frame;
    }
};

}
