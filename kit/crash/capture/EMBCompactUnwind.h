#pragma once

#include "kit/crash/capture/EMBDwarfUnwind.h"

#include <cstdint>

namespace kit {

class EMBMemoryReader;

/// The header of an image's compact unwind table (version 1), as stored.
struct EMBCompactUnwindHeader {
    std::uint32_t version { 0 };
    std::uint32_t commonEncodingsOffset { 0 };
    std::uint32_t commonEncodingsCount { 0 };
    std::uint32_t personalityOffset { 0 };
    std::uint32_t personalityCount { 0 };
    std::uint32_t indexOffset { 0 };
    std::uint32_t indexCount { 0 };
};

/// One image's compact unwind table and, after a first-level match, the range of functions its second-level
/// page covers. Every read of the table goes through `reader`: the table may be a loaded image's or any
/// bytes laid out as one.
struct EMBCompactUnwindContext {
    std::uint64_t unwindInfo { 0 };
    std::uint64_t ehFrame { 0 };
    /// Where the image's header is: function offsets count from here.
    std::uint64_t loadAddress { 0 };
    EMBCompactUnwindHeader header;
    std::uint32_t firstLevelFunctionOffset { 0 };
    std::uint32_t secondLevelPageOffset { 0 };
    std::uint32_t nextFirstLevelFunctionOffset { 0 };
    /// Where the image's __eh_frame ends, for the FDEs a DWARF-mode entry names.
    std::uint64_t ehFrameEnd { 0 };
    const EMBMemoryReader* reader { nullptr };
};

/// A function's entry: its encoding and its address range [start, end).
struct EMBCompactUnwindResult {
    std::uint32_t encoding { 0 };
    std::uint64_t functionStart { 0 };
    std::uint64_t functionEnd { 0 };
};

/// Encoding modes (bits 24-27).
inline constexpr std::uint32_t kEMBCompactUnwindModeMask { 0x0f000000 };
inline constexpr std::uint32_t kEMBCompactUnwindModeFramePointer { 0x01000000 };
inline constexpr std::uint32_t kEMBCompactUnwindModeStackImmediate { 0x02000000 };
inline constexpr std::uint32_t kEMBCompactUnwindModeStackIndirect { 0x03000000 };
inline constexpr std::uint32_t kEMBCompactUnwindModeDwarf { 0x04000000 };

/// Reads the table's header at `unwindInfo`; false for a table that cannot be read or is not version 1.
/// `ehFrame` (and its end) may be 0 when the image has no __eh_frame.
bool EMBCompactUnwindInit(EMBCompactUnwindContext* context, const EMBMemoryReader* reader,
    std::uint64_t unwindInfo, std::uint64_t ehFrame, std::uint64_t ehFrameEnd, std::uint64_t loadAddress);

/// Finds the entry of the function holding `pc`: the first-level index, then its second-level page
/// (compressed or regular). False when no function covers `pc` or its entry has no unwind information.
bool EMBCompactUnwindLookup(
    EMBCompactUnwindContext* context, std::uint64_t pc, EMBCompactUnwindResult* result);

/// The saved registers of a frameless entry, in the order they are stored from the lowest address:
/// compact numbers 1 rbx, 2 r12, 3 r13, 4 r14, 5 r15, 6 rbp. False for a count above 6.
bool EMBCompactUnwindDecodeRegisters(std::uint32_t encoding, std::uint32_t* registers, std::uint32_t* count);

/// Unwinds `frame` (whose PC lies in `result`'s function) by its entry: the frame-pointer step, the
/// frameless step or the DWARF step of the FDE the entry names. Only rbp of the saved registers is
/// restored.
bool EMBCompactUnwindComputeRegisters(
    const EMBCompactUnwindContext* context, const EMBCompactUnwindResult* result, EMBDwarfFrame* frame);

/// Looks up and unwinds in one: EMBCompactUnwindLookup, then EMBCompactUnwindComputeRegisters.
bool EMBCompactUnwindLookupAndCompute(EMBCompactUnwindContext* context, EMBDwarfFrame* frame);

}
