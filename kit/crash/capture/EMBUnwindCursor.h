#pragma once

#include "kit/crash/capture/EMBDwarfUnwind.h"
#include "kit/crash/capture/EMBMemoryReader.h"

#include <cstdint>

namespace kit {

struct EMBThreadState;

/// Most frames written for one thread.
inline constexpr std::uint32_t kEMBUnwindMaxFrames { 512 };

/// A walk down one thread's stack, from the frame where it stopped to its outermost caller. Lives on the
/// walking thread's stack; reads the walked thread's stack only through its safe reader, so the thread must
/// stay stopped (or be the crashed one) for the whole walk.
struct EMBUnwindCursor {
    /// The registers of the current frame and whether its PC is a return address.
    EMBDwarfFrame frame;
    /// Frames produced so far.
    std::uint32_t frameCount { 0 };
    EMBSafeMemoryReader reader;
};

/// Starts a walk at the frame `state` stopped in: its PC is where execution stopped, not a return address.
bool EMBUnwindCursorInit(EMBUnwindCursor* cursor, const EMBThreadState* state);

/// Moves to the next frame: the first call produces the frame the thread stopped in, each later one its
/// caller, found from the image's call-frame information (.eh_frame_hdr), else by the frame-pointer chain
/// (with a stack scan on the first step, for a leaf that had not set up its frame). False once there is no
/// further frame (the outermost was reached, a PC or stack pointer is not valid, or 512 frames were
/// produced); failures are written to the SDK log. No heap, no lock: safe at crash time.
bool EMBUnwindNextFrame(EMBUnwindCursor* cursor);

/// The current frame's PC: where execution stopped for the first frame, a return address for the others.
std::uint64_t EMBUnwindCursorPC(const EMBUnwindCursor* cursor);

/// One frame-pointer step: the caller's frame pointer and return address are the two words at the frame
/// pointer, its stack pointer the frame pointer + 16.
bool EMBUnwindFramePointerStep(EMBDwarfFrame* frame, const EMBMemoryReader* reader);

/// Looks for a return address between the stack pointer and the frame pointer: the first word that lies in
/// a registered image's code becomes the PC, and the stack pointer moves just above it; the frame pointer
/// stays. For a leaf function stopped before it set up its frame.
bool EMBUnwindStackScan(EMBDwarfFrame* frame, const EMBMemoryReader* reader);

}
