#include "kit/crash/capture/EMBCompactUnwind.h"

#include "kit/crash/capture/EMBMemoryReader.h"
#include "kit/crash/capture/EMBSDKLog.h"
#include "kit/crash/capture/EMBUnwindCursor.h"

namespace kit {
namespace {

constexpr std::uint32_t kPageRegular { 2 };
constexpr std::uint32_t kPageCompressed { 3 };
constexpr std::uint64_t kFirstValidAddress { 4096 };

// Compact register numbers to DWARF's: 1 rbx, 2 r12, 3 r13, 4 r14, 5 r15, 6 rbp.
constexpr std::uint64_t kDwarfRegister[7] { 0, 3, 12, 13, 14, 15, kEMBDwarfRegisterRBP };

void* pointer(std::uint64_t address)
{
    return reinterpret_cast<void*>(address);
}

template<class T> bool readValue(const EMBCompactUnwindContext* context, std::uint64_t address, T* value)
{
    return context->reader->read(address, value, sizeof *value);
}

// The first-level entry whose function range holds `target` (an offset from the load address).
bool findFirstLevel(EMBCompactUnwindContext* context, std::uint64_t target)
{
    if (context->header.indexCount < 2)
        return false;
    std::uint64_t index = context->unwindInfo + context->header.indexOffset;
    std::uint32_t current[3] {};
    if (!readValue(context, index, &current))
        return false;
    for (std::uint32_t i = 0; i + 1 < context->header.indexCount; ++i) {
        std::uint32_t next[3] {};
        if (!readValue(context, index + 12 * (std::uint64_t(i) + 1), &next))
            return false;
        if (current[0] <= target && target < next[0]) {
            context->firstLevelFunctionOffset = current[0];
            context->secondLevelPageOffset = current[1];
            context->nextFirstLevelFunctionOffset = next[0];
            EMBSDKFileLog("%s: Found first level (second => %u)\n", __func__, current[1]);
            return true;
        }
        current[0] = next[0];
        current[1] = next[1];
        current[2] = next[2];
    }
    return false;
}

// Binary search of a page's `count` entries for the last whose function offset is at most `target`;
// `offsetOf` reads an entry's offset.
template<class OffsetOf>
bool lastAtOrBelow(std::uint32_t count, std::uint64_t target, OffsetOf offsetOf, std::uint32_t* found)
{
    std::uint32_t low = 0;
    std::uint32_t high = count;
    while (low < high) {
        std::uint32_t middle = low + (high - low) / 2;
        std::uint64_t offset = 0;
        if (!offsetOf(middle, &offset))
            return false;
        if (offset <= target)
            low = middle + 1;
        else
            high = middle;
    }
    if (low == 0)
        return false;
    *found = low - 1;
    return true;
}

bool lookupCompressed(const EMBCompactUnwindContext* context, std::uint64_t page, std::uint64_t pc,
    EMBCompactUnwindResult* result)
{
    std::uint16_t fields[4] {}; // entries offset, entry count, encodings offset, encoding count
    if (!readValue(context, page + 4, &fields))
        return false;
    std::uint64_t base = context->loadAddress + context->firstLevelFunctionOffset;
    std::uint64_t entries = page + fields[0];
    auto offsetOf = [&](std::uint32_t i, std::uint64_t* offset) {
        std::uint32_t entry = 0;
        bool ok = readValue(context, entries + 4 * std::uint64_t(i), &entry);
        *offset = entry & 0x00ffffff;
        return ok;
    };
    std::uint32_t index = 0;
    if (!lastAtOrBelow(fields[1], pc - base, offsetOf, &index)) {
        EMBSDKFileLog("%s: Unable to find PC in second level\n", __func__);
        return false;
    }
    std::uint32_t entry = 0;
    if (!readValue(context, entries + 4 * std::uint64_t(index), &entry))
        return false;
    std::uint64_t end = context->loadAddress + context->nextFirstLevelFunctionOffset;
    if (index + 1u < fields[1]) {
        std::uint64_t nextOffset = 0;
        if (!offsetOf(index + 1, &nextOffset))
            return false;
        end = base + nextOffset;
    }
    result->functionStart = base + (entry & 0x00ffffff);
    result->functionEnd = end;
    std::uint32_t encodingIndex = entry >> 24;
    std::uint64_t encodingAt = encodingIndex < context->header.commonEncodingsCount
        ? context->unwindInfo + context->header.commonEncodingsOffset + 4 * std::uint64_t(encodingIndex)
        : page + fields[2] + 4 * std::uint64_t(encodingIndex - context->header.commonEncodingsCount);
    if (encodingIndex >= context->header.commonEncodingsCount
        && encodingIndex - context->header.commonEncodingsCount >= fields[3])
        return false;
    return readValue(context, encodingAt, &result->encoding);
}

bool lookupRegular(const EMBCompactUnwindContext* context, std::uint64_t page, std::uint64_t pc,
    EMBCompactUnwindResult* result)
{
    EMBSDKFileLog("%s: Found a second level regular header\n", __func__);
    std::uint16_t fields[2] {}; // entries offset, entry count
    if (!readValue(context, page + 4, &fields))
        return false;
    std::uint64_t entries = page + fields[0];
    auto offsetOf = [&](std::uint32_t i, std::uint64_t* offset) {
        std::uint32_t entry[2] {};
        bool ok = readValue(context, entries + 8 * std::uint64_t(i), &entry);
        *offset = entry[0];
        return ok;
    };
    std::uint32_t index = 0;
    if (!lastAtOrBelow(fields[1], pc - context->loadAddress, offsetOf, &index)) {
        EMBSDKFileLog("%s: Unable to find PC in second level\n", __func__);
        return false;
    }
    std::uint32_t entry[2] {};
    if (!readValue(context, entries + 8 * std::uint64_t(index), &entry))
        return false;
    std::uint64_t end = context->nextFirstLevelFunctionOffset;
    if (index + 1u < fields[1] && !offsetOf(index + 1, &end))
        return false;
    result->functionStart = context->loadAddress + entry[0];
    result->functionEnd = context->loadAddress + end;
    result->encoding = entry[1];
    return true;
}

// The permutation of `count` registers out of six, as a list of indexes into the registers not yet taken.
void decodePermutation(std::uint32_t permutation, std::uint32_t count, std::uint32_t* indexes)
{
    // Each position's index runs over as many choices as registers remain: the factorial number system.
    static constexpr std::uint32_t kRadix[7][6] { {}, { 6 }, { 6, 5 }, { 6, 5, 4 }, { 6, 5, 4, 3 },
        { 6, 5, 4, 3, 2 }, { 6, 5, 4, 3, 2, 1 } };
    for (std::uint32_t i = count; i-- > 0;) {
        indexes[i] = permutation % kRadix[count][i];
        permutation /= kRadix[count][i];
    }
}

bool framelessStep(
    const EMBCompactUnwindContext* context, const EMBCompactUnwindResult* result, EMBDwarfFrame* frame)
{
    std::uint32_t encoding = result->encoding;
    std::uint64_t stackSize = ((encoding >> 16) & 0xff) * 8;
    if ((encoding & kEMBCompactUnwindModeMask) == kEMBCompactUnwindModeStackIndirect) {
        std::uint32_t subl = 0;
        if (!readValue(context, result->functionStart + ((encoding >> 16) & 0xff), &subl)) {
            EMBSDKFileLog("%s: Error: unable to read subl value\n", __func__);
            return false;
        }
        stackSize = subl + ((encoding >> 13) & 7) * 8;
    }
    std::uint32_t registers[6] {};
    std::uint32_t count = 0;
    if (!EMBCompactUnwindDecodeRegisters(encoding, registers, &count)) {
        EMBSDKFileLog(
            "%s: Error: unhandled number of register permutations for encoding %x\n", __func__, encoding);
        return false;
    }
    std::uint64_t sp = frame->context.registers[kEMBDwarfRegisterRSP];
    if (stackSize < 8 * (std::uint64_t(count) + 1)) {
        EMBSDKFileLog("%s: Error: unable to compute stack size for encoding %x\n", __func__, encoding);
        return false;
    }
    std::uint64_t saved = sp + stackSize - 8 - 8 * std::uint64_t(count);
    EMBDwarfFrame caller = *frame;
    for (std::uint32_t i = 0; i < count; ++i, saved += 8) {
        if (registers[i] != 6) {
            EMBSDKFileLog("%s: Error: skipping a restore of register %d at %p\n", __func__, int(registers[i]),
                pointer(saved));
            continue;
        }
        if (!context->reader->readWord(saved, &caller.context.registers[kDwarfRegister[registers[i]]])) {
            EMBSDKFileLog("%s: Error: unable to read memory to set register\n", __func__);
            return false;
        }
    }
    std::uint64_t pc = 0;
    EMBSDKFileLog("%s: SP is %p and we are reading %p\n", __func__, pointer(sp), pointer(saved));
    if (!context->reader->readWord(saved, &pc) || pc < kFirstValidAddress) {
        EMBSDKFileLog("%s: Error: computed PC is invalid\n", __func__);
        return false;
    }
    caller.context.registers[kEMBDwarfRegisterRIP] = pc;
    caller.context.registers[kEMBDwarfRegisterRSP] = saved + 8;
    caller.pcIsReturnAddress = true;
    *frame = caller;
    return true;
}

bool dwarfStep(
    const EMBCompactUnwindContext* context, const EMBCompactUnwindResult* result, EMBDwarfFrame* frame)
{
    std::uint64_t offset = result->encoding & 0x00ffffff;
    EMBSDKFileLog("%s: Trying to read dwarf data with offset %lx\n", __func__, offset);
    EMBDwarfCFIRecord cfi;
    if (context->ehFrame == 0
        || !EMBDwarfParseCFIFromFDERecordOffset(
            &cfi, context->ehFrame, offset, { context->ehFrame, context->ehFrameEnd })) {
        EMBSDKFileLog("%s: Error: Unable to init FDE\n", __func__);
        return false;
    }
    std::uint64_t pc = frame->context.registers[kEMBDwarfRegisterRIP];
    if (frame->pcIsReturnAddress)
        --pc;
    EMBDwarfFrame caller;
    if (!EMBDwarfUnwindComputeRegisters(&cfi, &frame->context, pc, context->reader, &caller)) {
        EMBSDKFileLog("%s: Error: failed to compute DWARF registers\n", __func__);
        return false;
    }
    *frame = caller;
    return true;
}

}

bool EMBCompactUnwindInit(EMBCompactUnwindContext* context, const EMBMemoryReader* reader,
    std::uint64_t unwindInfo, std::uint64_t ehFrame, std::uint64_t ehFrameEnd, std::uint64_t loadAddress)
{
    if (context == nullptr || reader == nullptr) {
        EMBSDKFileLog("%s: Error: invalid context passed to compact unwind init", __func__);
        return false;
    }
    if (unwindInfo == 0) {
        EMBSDKFileLog("%s: Error: invalid unwind info passed to compact unwind init", __func__);
        return false;
    }
    if (loadAddress == 0) {
        EMBSDKFileLog("%s: Error: invalid load address passed to compact unwind init", __func__);
        return false;
    }
    *context = EMBCompactUnwindContext {};
    context->unwindInfo = unwindInfo;
    context->ehFrame = ehFrame;
    context->ehFrameEnd = ehFrameEnd;
    context->loadAddress = loadAddress;
    context->reader = reader;
    if (!reader->read(unwindInfo, &context->header, sizeof context->header)) {
        EMBSDKFileLog("%s: Error: could not read memory contents of unwindInfo\n", __func__);
        return false;
    }
    if (context->header.version != 1) {
        EMBSDKFileLog("%s: Error: bad unwind_info structure version (%d != %d)\n", __func__,
            int(context->header.version), 1);
        return false;
    }
    return true;
}

bool EMBCompactUnwindLookup(
    EMBCompactUnwindContext* context, std::uint64_t pc, EMBCompactUnwindResult* result)
{
    if (pc < context->loadAddress || !findFirstLevel(context, pc - context->loadAddress)) {
        EMBSDKFileLog("%s: Unable to find pc in first level\n", __func__);
        return false;
    }
    std::uint64_t page = context->unwindInfo + context->secondLevelPageOffset;
    std::uint32_t kind = 0;
    bool found = false;
    if (readValue(context, page, &kind)) {
        if (kind == kPageCompressed)
            found = lookupCompressed(context, page, pc, result);
        else if (kind == kPageRegular)
            found = lookupRegular(context, page, pc, result);
        else
            EMBSDKFileLog("%s: Unrecognized header kind - unable to continue\n", __func__);
    }
    if (!found) {
        EMBSDKFileLog("%s: Second-level PC lookup failed\n", __func__);
        return false;
    }
    if (pc < result->functionStart || pc >= result->functionEnd) {
        EMBSDKFileLog("%s: PC does not match computed function range\n", __func__);
        return false;
    }
    if (result->encoding == 0) {
        EMBSDKFileLog("%s: Entry has has no unwind info\n", __func__);
        return false;
    }
    return true;
}

bool EMBCompactUnwindDecodeRegisters(std::uint32_t encoding, std::uint32_t* registers, std::uint32_t* count)
{
    *count = (encoding >> 10) & 7;
    if (*count > 6)
        return false;
    std::uint32_t indexes[6] {};
    decodePermutation(encoding & 0x3ff, *count, indexes);
    bool taken[7] {};
    for (std::uint32_t i = 0; i < *count; ++i) {
        std::uint32_t free = 0;
        for (std::uint32_t reg = 1; reg <= 6; ++reg) {
            if (taken[reg])
                continue;
            if (free++ == indexes[i]) {
                registers[i] = reg;
                taken[reg] = true;
                break;
            }
        }
        if (registers[i] == 0)
            return false;
    }
    return true;
}

bool EMBCompactUnwindComputeRegisters(
    const EMBCompactUnwindContext* context, const EMBCompactUnwindResult* result, EMBDwarfFrame* frame)
{
    switch (result->encoding & kEMBCompactUnwindModeMask) {
    case kEMBCompactUnwindModeFramePointer:
        return EMBUnwindFramePointerStep(frame, context->reader);
    case kEMBCompactUnwindModeStackImmediate:
    case kEMBCompactUnwindModeStackIndirect:
        return framelessStep(context, result, frame);
    case kEMBCompactUnwindModeDwarf:
        return dwarfStep(context, result, frame);
    default:
        EMBSDKFileLog("%s: Invalid encoding %x\n", __func__, result->encoding);
        return false;
    }
}

bool EMBCompactUnwindLookupAndCompute(EMBCompactUnwindContext* context, EMBDwarfFrame* frame)
{
    std::uint64_t pc = frame->context.registers[kEMBDwarfRegisterRIP];
    if (frame->pcIsReturnAddress)
        --pc;
    EMBCompactUnwindResult result;
    if (!EMBCompactUnwindLookup(context, pc, &result)) {
        EMBSDKFileLog("%s: Unable to lookup compact unwind for pc %p\n", __func__, pointer(pc));
        return false;
    }
    if (!EMBCompactUnwindComputeRegisters(context, &result, frame)) {
        EMBSDKFileLog("%s: Error: failed to compute registers\n", __func__);
        return false;
    }
    return true;
}

}
