#include "kit/crash/capture/EMBUnwindCursor.h"

#include "kit/crash/capture/EMBBinaryImage.h"
#include "kit/crash/capture/EMBSDKLog.h"
#include "kit/crash/capture/EMBThreadState.h"

namespace kit {
namespace {

constexpr std::uint64_t kFirstValidAddress { 4096 };
// A stack scan looks at no more words than this, whatever the frame pointer holds.
constexpr std::uint64_t kStackScanWords { 512 };

std::uint64_t& pcOf(EMBDwarfFrame* frame)
{
    return frame->context.registers[kEMBDwarfRegisterRIP];
}

std::uint64_t& spOf(EMBDwarfFrame* frame)
{
    return frame->context.registers[kEMBDwarfRegisterRSP];
}

std::uint64_t& fpOf(EMBDwarfFrame* frame)
{
    return frame->context.registers[kEMBDwarfRegisterRBP];
}

void* pointer(std::uint64_t address)
{
    return reinterpret_cast<void*>(address);
}

// The caller of the current frame, when there is one: call-frame information first, else the frame
// pointer. False at the outermost frame or when neither way works.
bool stepToCaller(EMBUnwindCursor* cursor)
{
    EMBDwarfFrame* frame = &cursor->frame;
    std::uint64_t lookup = pcOf(frame) - (frame->pcIsReturnAddress ? 1 : 0);
    EMBBinaryImageSlot slot;
    if (!EMBBinaryImageSafeFindImageForAddress(lookup, &slot)) {
        EMBSDKFileLog("%s: Unable to find binary for %p\n", __func__, pointer(lookup));
    } else if (EMBBinaryImageSafeHasUnwindInfo(&slot)) {
        if (EMBDwarfUnwindFrame(EMBBinaryImageDwarfLookup, &cursor->reader, frame, EMBBinaryImageRuleCache()))
            return !frame->outermost;
    }
    if (fpOf(frame) == 0) {
        EMBSDKFileLog("%s: FP is zero, aborting unwind\n", __func__);
        pcOf(frame) = 0;
        return false;
    }
    if (cursor->frameCount == 1) {
        EMBSDKFileLog("%s: Attempting stack scan\n", __func__);
        if (EMBUnwindStackScan(frame, &cursor->reader)) {
            EMBSDKFileLog("%s: Stack scan successful\n", __func__);
            return true;
        }
    }
    if (!EMBUnwindFramePointerStep(frame, &cursor->reader)) {
        EMBSDKFileLog("%s: Error: Unable to use frame pointer\n", __func__);
        return false;
    }
    return true;
}

}

bool EMBUnwindCursorInit(EMBUnwindCursor* cursor, const EMBThreadState* state)
{
    if (cursor == nullptr || state == nullptr) {
        EMBSDKFileLog("%s: Error: invalid inputs\n", __func__);
        return false;
    }
    *cursor = EMBUnwindCursor {};
    EMBThreadStateToDwarfContext(state, &cursor->frame.context);
    cursor->frame.pcIsReturnAddress = false;
    return true;
}

bool EMBUnwindNextFrame(EMBUnwindCursor* cursor)
{
    if (cursor == nullptr) {
        EMBSDKFileLog("%s: Error: invalid inputs\n", __func__);
        return false;
    }
    EMBDwarfFrame* frame = &cursor->frame;
    if (pcOf(frame) < kFirstValidAddress || spOf(frame) < kFirstValidAddress) {
        if (cursor->frameCount == 0)
            EMBSDKFileLog("%s: Cancelling unwind for thread with invalid PC/SP\n", __func__);
        else
            EMBSDKFileLog("%s: Error: thread PC/SP invalid before unwind\n", __func__);
        return false;
    }
    if (cursor->frameCount >= kEMBUnwindMaxFrames) {
        EMBSDKFileLog("%s: Error: failed to advance to the next frame\n", __func__);
        return false;
    }
    if (cursor->frameCount == 0) {
        cursor->frameCount = 1;
        return true;
    }
    if (!stepToCaller(cursor))
        return false;
    if (pcOf(frame) < kFirstValidAddress)
        return false;
    if (spOf(frame) < kFirstValidAddress) {
        EMBSDKFileLog("%s: Error: SP (%p) isn't a valid pointer\n", __func__, pointer(spOf(frame)));
        return false;
    }
    ++cursor->frameCount;
    return true;
}

std::uint64_t EMBUnwindCursorPC(const EMBUnwindCursor* cursor)
{
    return cursor->frame.context.registers[kEMBDwarfRegisterRIP];
}

bool EMBUnwindFramePointerStep(EMBDwarfFrame* frame, const EMBMemoryReader* reader)
{
    std::uint64_t fp = fpOf(frame);
    std::uint64_t words[2] {};
    if (!reader->read(fp, words, sizeof words)) {
        EMBSDKFileLog("%s: Error: failed to read memory at address %p\n", __func__, pointer(fp));
        return false;
    }
    // A caller's frame lies above its callee's: a chain that turns back is not a chain.
    if (words[0] != 0 && words[0] <= fp) {
        EMBSDKFileLog(
            "%s: Error: frame pointer %p does not move up the stack\n", __func__, pointer(words[0]));
        return false;
    }
    fpOf(frame) = words[0];
    pcOf(frame) = words[1];
    spOf(frame) = fp + 16;
    frame->pcIsReturnAddress = true;
    return true;
}

bool EMBUnwindStackScan(EMBDwarfFrame* frame, const EMBMemoryReader* reader)
{
    std::uint64_t sp = spOf(frame);
    std::uint64_t fp = fpOf(frame);
    for (std::uint64_t address = sp; address < fp && address - sp < 8 * kStackScanWords; address += 8) {
        std::uint64_t word = 0;
        if (!reader->readWord(address, &word))
            return false;
        EMBBinaryImageSlot slot;
        if (EMBBinaryImageSafeFindImageForAddress(word, &slot)) {
            pcOf(frame) = word;
            spOf(frame) = address + 8;
            frame->pcIsReturnAddress = true;
            return true;
        }
    }
    return false;
}

}
