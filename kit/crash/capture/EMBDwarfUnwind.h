#pragma once

#include "kit/crash/capture/EMBDwarfExpression.h"
#include "kit/crash/capture/EMBDwarfRecords.h"
#include "kit/crash/capture/EMBDwarfRuleCache.h"
#include "kit/crash/capture/EMBDwarfState.h"

#include <cstdint>

namespace kit {

class EMBMemoryReader;

/// Where a loaded image's unwind tables are: its .eh_frame_hdr search table and the mapped bytes around it
/// (the segment holding .eh_frame_hdr and .eh_frame).
struct EMBDwarfImage {
    std::uint64_t ehFrameHeader { 0 };
    EMBDwarfSection section;
};

/// Finds the image holding `pc`; false when none does. Must be safe at crash time.
using EMBDwarfImageLookup = bool (*)(std::uint64_t pc, EMBDwarfImage* image);

/// A frame of a walk: its registers and what the step that reached it learnt.
struct EMBDwarfFrame {
    EMBThreadContext context;
    /// Whether the PC is a return address (look up PC - 1) rather than where execution stopped (the first
    /// frame, or the frame a signal interrupted).
    bool pcIsReturnAddress { false };
    /// Whether the frame's return address is undefined: there is no caller.
    bool outermost { false };
};

/// Finds the FDE covering `pc` by binary search of the image's .eh_frame_hdr table.
bool EMBDwarfFindFDE(const EMBDwarfImage* image, std::uint64_t pc, EMBDwarfCFIRecord* cfi);

/// The row of the call-frame table that covers `pc`, from the CIE's and the FDE's instructions.
bool EMBDwarfComputeState(const EMBDwarfCFIRecord* cfi, std::uint64_t pc, EMBDwarfState* state);

/// The canonical frame address of `state` in `context`.
bool EMBDwarfGetCFA(const EMBDwarfState* state, const EMBThreadContext* context,
    const EMBMemoryReader* reader, std::uint64_t* cfa);

/// The caller's value of one register under `rule`.
bool EMBDwarfGetSavedRegister(const EMBThreadContext* context, std::uint64_t cfa, const EMBDwarfRule* rule,
    const EMBMemoryReader* reader, std::uint64_t* value);

/// The caller's registers: every rule applied, the stack pointer set to the CFA and the PC to the return
/// address. Fails when the stack pointer would not move (a loop); sets `outermost` when the return address is
/// undefined.
bool EMBDwarfUnwindAssignRegisters(const EMBDwarfState* state, const EMBDwarfCIERecord* cie,
    const EMBThreadContext* context, std::uint64_t cfa, const EMBMemoryReader* reader, EMBDwarfFrame* caller);

/// Unwinds one frame with `cfi`: the row covering `pc` (the frame's PC, already moved back into the call
/// for a return address), its CFA and the caller's registers.
bool EMBDwarfUnwindComputeRegisters(const EMBDwarfCFIRecord* cfi, const EMBThreadContext* context,
    std::uint64_t pc, const EMBMemoryReader* reader, EMBDwarfFrame* caller);

/// The row of `cfi`'s table that covers `pc`, with what unwinding it needs of the CIE.
bool EMBDwarfComputeRow(const EMBDwarfCFIRecord* cfi, std::uint64_t pc, EMBDwarfRow* row);

/// Unwinds one frame by a row worked out before: its CFA and the caller's registers.
bool EMBDwarfUnwindApplyRow(const EMBDwarfRow* row, const EMBThreadContext* context,
    const EMBMemoryReader* reader, EMBDwarfFrame* caller);

/// Replaces `frame` by its caller: image lookup, FDE search, unwinding. False when the frame cannot be
/// unwound from call-frame information (or is the outermost). With a `cache`, rows found there skip the
/// lookup and the search, and rows worked out are kept in it: pass one only with a `lookup` that always
/// gives the same tables for a PC until the cache is invalidated.
bool EMBDwarfUnwindFrame(EMBDwarfImageLookup lookup, const EMBMemoryReader* reader, EMBDwarfFrame* frame,
    EMBDwarfRuleCache* cache = nullptr);

/// Moves `frame` up through as many callers as the cache's rows and stack the reader already knows take it
/// (at most `capacity`, and not past the outermost frame), writing each caller's PC and stack pointer to
/// `pcs` and `sps`: no image lookup, table search, instruction or system call. Answers how many callers
/// were reached; where it stops, EMBDwarfUnwindFrame takes the full way. No heap, no lock.
std::uint32_t EMBDwarfUnwindCachedFrames(const EMBDwarfRuleCache& cache, const EMBMemoryReader* reader,
    EMBDwarfFrame* frame, std::uint64_t* pcs, std::uint64_t* sps, std::uint32_t capacity);

/// Whether two contexts hold the same registers.
bool EMBDwarfCompareRegisters(const EMBThreadContext* a, const EMBThreadContext* b);
/// Register `reg` of `context`; false (and 0) for a number above 16.
bool EMBDwarfUnwindGetRegisterValue(const EMBThreadContext* context, std::uint64_t reg, std::uint64_t* value);
/// Sets register `reg` of `context`; false for a number above 16.
bool EMBDwarfUnwindSetRegisterValue(EMBThreadContext* context, std::uint64_t reg, std::uint64_t value);

}
