#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace kit {

/// One frame of a recorded call stack: its address and, once symbolicated, where it lies.
struct EMBStackFrame {
    std::uint64_t address { 0 };
    /// The name of the function holding the address; none while unresolved.
    std::optional<std::string> symbol;
    /// The address's distance from the symbol's start.
    std::uint64_t offset { 0 };
    /// The file name of the image holding the address; none while unresolved.
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

    /// A frame that knows only its symbol.
    static EMBStackFrame stackFrameWithSymbol(std::string symbol)
    {
        EMBStackFrame frame;
        frame.symbol = std::move(symbol);
        return frame;
    }
};

}
