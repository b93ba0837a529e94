#include "kit/crash/capture/EMBDwarfUnwind.h"

#include "kit/crash/capture/EMBMemoryReader.h"
#include "kit/crash/capture/EMBSDKLog.h"

#include <cstdint>
#include <cstring>

namespace kit {
namespace {

constexpr std::uint8_t kTableEncoding { 0x3b }; // data-relative, signed 32-bit: fixed-size entries

bool cfaOf(const EMBDwarfRow* row, const EMBThreadContext* context, const EMBMemoryReader* reader,
    std::uint64_t* cfa)
{
    if (row->cfaExpression != 0) {
        if (!EMBDwarfEvalulateExpression(row->cfaExpression, context, reader, 0, cfa, false)) {
            EMBSDKFileLog("%s: Error: failed to compute CFA expression\n", __func__);
            return false;
        }
        return true;
    }
    if (row->cfaRegister >= kEMBDwarfRegisterCount) {
        EMBSDKFileLog("%s: Error: failed to get CFA\n", __func__);
        return false;
    }
    *cfa = context->registers[row->cfaRegister] + std::uint64_t(row->cfaOffset);
    return true;
}

bool assignRegisters(const EMBDwarfRow* row, const EMBThreadContext* context, std::uint64_t cfa,
    const EMBMemoryReader* reader, EMBDwarfFrame* caller)
{
    std::uint64_t returnAddressRegister = row->returnAddressRegister;
    if (returnAddressRegister >= kEMBDwarfRegisterCount)
        return false;
    EMBThreadContext& next = caller->context;
    next = *context;
    bool outermost = false;
    for (std::uint32_t i = 0; i < row->ruleCount; ++i) {
        const EMBDwarfRow::Rule& compact = row->rules[i];
        if (compact.kind == kEMBDwarfRuleUndefined) {
            outermost = outermost || compact.reg == returnAddressRegister;
            next.registers[compact.reg] = 0;
            continue;
        }
        EMBDwarfRule rule { compact.kind, compact.value };
        std::uint64_t value = 0;
        if (!EMBDwarfGetSavedRegister(context, cfa, &rule, reader, &value)) {
            EMBSDKFileLog("%s: Error: Unable to restore register value\n", __func__);
            return false;
        }
        next.registers[compact.reg] = value;
    }
    next.registers[kEMBDwarfRegisterRIP] = next.registers[returnAddressRegister];
    next.registers[kEMBDwarfRegisterRSP] = cfa;
    caller->outermost = outermost;
    // The stack must move; the PC may stay, as it does from one call of a recursive function to the next.
    if (!outermost && cfa == context->registers[kEMBDwarfRegisterRSP]) {
        EMBSDKFileLog("%s: Error: Stack pointer hasn't changed\n", __func__);
        return false;
    }
    return true;
}

// The registers a plain row may change, held in locals while a walk goes from one cached row to the next
// (where the compiler keeps them in registers) and given back to the frame where it stops.
struct PlainRegisters {
    std::uint64_t pc { 0 };
    std::uint64_t sp { 0 };
    std::uint64_t rbx { 0 };
    std::uint64_t rbp { 0 };
    std::uint64_t r12 { 0 };
    std::uint64_t r13 { 0 };
    std::uint64_t r14 { 0 };
    std::uint64_t r15 { 0 };

    explicit PlainRegisters(const std::uint64_t* registers)
        : pc(registers[kEMBDwarfRegisterRIP])
        , sp(registers[kEMBDwarfRegisterRSP])
        , rbx(registers[3])
        , rbp(registers[kEMBDwarfRegisterRBP])
        , r12(registers[12])
        , r13(registers[13])
        , r14(registers[14])
        , r15(registers[15])
    {
    }

    void store(std::uint64_t* registers) const
    {
        registers[kEMBDwarfRegisterRIP] = pc;
        registers[kEMBDwarfRegisterRSP] = sp;
        registers[3] = rbx;
        registers[kEMBDwarfRegisterRBP] = rbp;
        registers[12] = r12;
        registers[13] = r13;
        registers[14] = r14;
        registers[15] = r15;
    }
};

// The CFA by a plain row: its register plus its offset. The stack pointer, which compiled code without frame
// pointers names throughout, comes straight through; the frame pointer is tried before the rest, and the
// registers no plain row changes are read from the frame's. False for a number that names no register (a
// damaged row).
inline bool cfaOf(const EMBDwarfPlainRow& row, const PlainRegisters& plain, const std::uint64_t* registers,
    std::uint64_t* cfa)
{
    std::uint64_t base = plain.sp;
    if (row.cfaRegister != kEMBDwarfRegisterRSP) [[unlikely]] {
        switch (row.cfaRegister) {
        case kEMBDwarfRegisterRBP:
            base = plain.rbp;
            break;
        case 3:
            base = plain.rbx;
            break;
        case 12:
            base = plain.r12;
            break;
        case 13:
            base = plain.r13;
            break;
        case 14:
            base = plain.r14;
            break;
        case 15:
            base = plain.r15;
            break;
        case kEMBDwarfRegisterRIP:
            base = plain.pc;
            break;
        default:
            if (row.cfaRegister >= kEMBDwarfRegisterCount)
                return false;
            base = registers[row.cfaRegister];
            break;
        }
    }
    *cfa = base + std::uint64_t(std::int64_t(row.cfaOffset));
    return true;
}

std::uint64_t firstSlotOf(const EMBDwarfPlainRow& row, std::uint64_t cfa)
{
    return cfa + std::uint64_t(std::int64_t(row.firstSlot) * 8);
}

// Sets `value` to the word in its slot when `saved`, the row's mask, holds register `index` of
// kPreservedRegisters. A slot past the row's slots (only in a damaged row) is never read: `slots` holds no
// more than those.
__attribute__((always_inline)) inline void restoreSaved(const EMBDwarfPlainRow& row, std::uint32_t saved,
    std::uint32_t index, const std::uint64_t* slots, std::uint64_t* value)
{
    if ((saved & (1u << index)) != 0) {
        std::uint32_t slot = row.slot(index);
        if (slot < row.slotCount)
            *value = EMBLoadReadableWord(&slots[slot]);
    }
}

// Moves `plain` to the caller by `row`, whose slots (slotCount words, readable) are at `slots`: each
// preserved register saved is loaded, each undefined set to 0, the PC is the return address (saved,
// undefined: 0, or kept) and the stack pointer the CFA. Written out register by register, so that the
// registers stay in locals, and skipped at once for the many rows that save none.
__attribute__((always_inline)) inline void restore(
    const EMBDwarfPlainRow& row, const std::uint64_t* slots, std::uint64_t cfa, PlainRegisters* plain)
{
    std::uint32_t saved = row.slot(EMBDwarfPlainRow::kSavedMaskByte);
    if (saved != 0) {
        restoreSaved(row, saved, 0, slots, &plain->rbx);
        restoreSaved(row, saved, 1, slots, &plain->rbp);
        restoreSaved(row, saved, 2, slots, &plain->r12);
        restoreSaved(row, saved, 3, slots, &plain->r13);
        restoreSaved(row, saved, 4, slots, &plain->r14);
        restoreSaved(row, saved, 5, slots, &plain->r15);
    }
    if ((row.flags & EMBDwarfPlainRow::kUndefinesPreserved) != 0) [[unlikely]] {
        auto undefined
            = [&row](std::uint32_t index) { return row.slot(index) == EMBDwarfPlainRow::kUndefined; };
        plain->rbx = undefined(0) ? 0 : plain->rbx;
        plain->rbp = undefined(1) ? 0 : plain->rbp;
        plain->r12 = undefined(2) ? 0 : plain->r12;
        plain->r13 = undefined(3) ? 0 : plain->r13;
        plain->r14 = undefined(4) ? 0 : plain->r14;
        plain->r15 = undefined(5) ? 0 : plain->r15;
    }
    std::uint32_t returnAddress = row.returnAddress();
    if (returnAddress < row.slotCount) [[likely]]
        plain->pc = EMBLoadReadableWord(&slots[returnAddress]);
    else if (returnAddress == EMBDwarfPlainRow::kUndefined)
        plain->pc = 0;
    plain->sp = cfa;
}

// The caller of `frame` by a plain row, in place; `frame` is left as it was when it fails.
bool applyPlainRow(const EMBDwarfPlainRow& row, const EMBMemoryReader* reader, EMBDwarfFrame* frame)
{
    std::uint64_t* registers = frame->context.registers;
    PlainRegisters plain(registers);
    std::uint64_t cfa = 0;
    if (row.slotCount > EMBDwarfPlainRow::kMaxSlots || !cfaOf(row, plain, registers, &cfa)) {
        EMBSDKFileLog("%s: Error: damaged cached row\n", __func__);
        return false;
    }
    std::uint64_t buffer[EMBDwarfPlainRow::kMaxSlots];
    const auto* slots
        = static_cast<const std::uint64_t*>(reader->view(firstSlotOf(row, cfa), buffer, 8 * row.slotCount));
    if (slots == nullptr) {
        EMBSDKFileLog("%s: Error: Unable to read CFA value\n", __func__);
        return false;
    }
    bool outermost = row.outermost();
    if (!outermost && cfa == plain.sp) {
        EMBSDKFileLog("%s: Error: Stack pointer hasn't changed\n", __func__);
        return false;
    }
    restore(row, slots, cfa, &plain);
    plain.store(registers);
    frame->outermost = outermost;
    frame->pcIsReturnAddress = (row.flags & EMBDwarfPlainRow::kSignalFrame) == 0;
    return true;
}

// Every frame the cached way leaves: a cached row over stack not read yet, else the image's tables,
// searched and run. Kept apart so that the cached way stays small.
__attribute__((noinline)) bool unwindFully(EMBDwarfImageLookup lookup, const EMBMemoryReader* reader,
    EMBDwarfFrame* frame, EMBDwarfRuleCache* cache, std::uint64_t pc)
{
    EMBDwarfPlainRow plain;
    if (cache != nullptr && cache->find(pc, &plain))
        return applyPlainRow(plain, reader, frame);
    std::uint64_t generation = cache != nullptr ? cache->generation() : 0;
    EMBDwarfRow row;
    EMBDwarfImage image;
    EMBDwarfCFIRecord cfi;
    if (!lookup(pc, &image) || !EMBDwarfFindFDE(&image, pc, &cfi) || !EMBDwarfComputeRow(&cfi, pc, &row))
        return false;
    if (cache != nullptr)
        cache->insert(pc, generation, row);
    EMBDwarfFrame caller;
    if (!EMBDwarfUnwindApplyRow(&row, &frame->context, reader, &caller))
        return false;
    *frame = caller;
    return true;
}

}

bool EMBDwarfFindFDE(const EMBDwarfImage* image, std::uint64_t pc, EMBDwarfCFIRecord* cfi)
{
    std::uint64_t header = image->ehFrameHeader;
    EMBDwarfCursor cursor { header, image->section.end, image->section.contains(header) };
    cursor.dataBase = header;
    std::uint8_t version = EMBParseUint8AndAdvance(&cursor);
    std::uint8_t frameEncoding = EMBParseUint8AndAdvance(&cursor);
    std::uint8_t countEncoding = EMBParseUint8AndAdvance(&cursor);
    std::uint8_t tableEncoding = EMBParseUint8AndAdvance(&cursor);
    EMBParseAddressWithEncodingAndAdvance(&cursor, frameEncoding);
    std::uint64_t count = EMBParseAddressWithEncodingAndAdvance(&cursor, countEncoding);
    if (!cursor.valid || version != 1 || tableEncoding != kTableEncoding || count == kEMBDwarfInvalidAddress
        || count > (cursor.end - cursor.position) / 8) {
        EMBSDKFileLog("%s: Error: unusable .eh_frame_hdr at %p\n", __func__, reinterpret_cast<void*>(header));
        return false;
    }
    std::uint64_t table = cursor.position;
    auto entry = [&](std::uint64_t index, int field) {
        std::int32_t offset = 0;
        std::memcpy(&offset, reinterpret_cast<const void*>(table + 8 * index + 4 * std::uint64_t(field)), 4);
        return header + std::uint64_t(std::int64_t(offset));
    };
    std::uint64_t low = 0;
    std::uint64_t high = count;
    while (low < high) {
        std::uint64_t middle = low + (high - low) / 2;
        if (entry(middle, 0) <= pc)
            low = middle + 1;
        else
            high = middle;
    }
    if (low == 0)
        return false;
    std::uint64_t fde = entry(low - 1, 1);
    if (!EMBDwarfParseCFIFromFDERecord(cfi, fde, image->section))
        return false;
    return pc >= cfi->fde.pcBegin && pc - cfi->fde.pcBegin < cfi->fde.pcRange;
}

bool EMBDwarfComputeState(const EMBDwarfCFIRecord* cfi, std::uint64_t pc, EMBDwarfState* state)
{
    *state = EMBDwarfState {};
    if (!EMBDwarfInstructionsEnumerate(
            cfi->cie.instructions, cfi->cie.instructionsLength, &cfi->cie, state, UINT64_MAX, nullptr, 0)) {
        EMBSDKFileLog("%s: Error: Unable to run CIE instructions\n", __func__);
        return false;
    }
    if (pc < cfi->fde.pcBegin) {
        EMBSDKFileLog("%s: Error: The FDE pcOffset value cannot be negative\n", __func__);
        return false;
    }
    EMBDwarfState initial = *state;
    if (!EMBDwarfInstructionsEnumerate(cfi->fde.instructions, cfi->fde.instructionsLength, &cfi->cie, state,
            pc - cfi->fde.pcBegin, &initial, cfi->fde.pcBegin)) {
        EMBSDKFileLog("%s: Error: Unable to run FDE instructions\n", __func__);
        return false;
    }
    return true;
}

bool EMBDwarfGetCFA(const EMBDwarfState* state, const EMBThreadContext* context,
    const EMBMemoryReader* reader, std::uint64_t* cfa)
{
    if (state->cfaExpression != 0) {
        if (!EMBDwarfEvalulateExpression(state->cfaExpression, context, reader, 0, cfa, false)) {
            EMBSDKFileLog("%s: Error: failed to compute CFA expression\n", __func__);
            return false;
        }
        return true;
    }
    std::uint64_t base = 0;
    if (!EMBDwarfUnwindGetRegisterValue(context, state->cfaRegister, &base)) {
        EMBSDKFileLog("%s: Error: failed to get CFA\n", __func__);
        return false;
    }
    *cfa = base + std::uint64_t(state->cfaOffset);
    return true;
}

bool EMBDwarfGetSavedRegister(const EMBThreadContext* context, std::uint64_t cfa, const EMBDwarfRule* rule,
    const EMBMemoryReader* reader, std::uint64_t* value)
{
    switch (rule->kind) {
    case kEMBDwarfRuleOffset:
        if (!reader->readWord(cfa + std::uint64_t(rule->value), value)) {
            EMBSDKFileLog("%s: Error: Unable to read CFA value\n", __func__);
            return false;
        }
        return true;
    case kEMBDwarfRuleValOffset:
        *value = cfa + std::uint64_t(rule->value);
        return true;
    case kEMBDwarfRuleRegister:
        return EMBDwarfUnwindGetRegisterValue(context, std::uint64_t(rule->value), value);
    case kEMBDwarfRuleExpression: {
        std::uint64_t address = 0;
        if (!EMBDwarfEvalulateExpression(std::uint64_t(rule->value), context, reader, cfa, &address))
            return false;
        if (!reader->readWord(address, value)) {
            EMBSDKFileLog("%s: Error: Unable to read memory computed from expression\n", __func__);
            return false;
        }
        return true;
    }
    case kEMBDwarfRuleValExpression:
        return EMBDwarfEvalulateExpression(std::uint64_t(rule->value), context, reader, cfa, value);
    default:
        EMBSDKFileLog("%s: Error: Unrecognized register save location 0x%x\n", __func__, rule->kind);
        return false;
    }
}

bool EMBDwarfUnwindAssignRegisters(const EMBDwarfState* state, const EMBDwarfCIERecord* cie,
    const EMBThreadContext* context, std::uint64_t cfa, const EMBMemoryReader* reader, EMBDwarfFrame* caller)
{
    EMBDwarfRow row = EMBDwarfRow::fromState(*state, cie->returnAddressRegister);
    return assignRegisters(&row, context, cfa, reader, caller);
}

bool EMBDwarfUnwindComputeRegisters(const EMBDwarfCFIRecord* cfi, const EMBThreadContext* context,
    std::uint64_t pc, const EMBMemoryReader* reader, EMBDwarfFrame* caller)
{
    EMBDwarfRow row;
    return EMBDwarfComputeRow(cfi, pc, &row) && EMBDwarfUnwindApplyRow(&row, context, reader, caller);
}

bool EMBDwarfComputeRow(const EMBDwarfCFIRecord* cfi, std::uint64_t pc, EMBDwarfRow* row)
{
    EMBDwarfState state;
    if (!EMBDwarfComputeState(cfi, pc, &state))
        return false;
    *row = EMBDwarfRow::fromState(state, cfi->cie.returnAddressRegister);
    row->signalFrame = cfi->cie.signalFrame != 0;
    return true;
}

bool EMBDwarfUnwindApplyRow(const EMBDwarfRow* row, const EMBThreadContext* context,
    const EMBMemoryReader* reader, EMBDwarfFrame* caller)
{
    std::uint64_t cfa = 0;
    if (!cfaOf(row, context, reader, &cfa))
        return false;
    if (!assignRegisters(row, context, cfa, reader, caller)) {
        EMBSDKFileLog("%s: Error: Unable to assign DWARF registers\n", __func__);
        return false;
    }
    caller->pcIsReturnAddress = !row->signalFrame;
    return true;
}

bool EMBDwarfUnwindFrame(
    EMBDwarfImageLookup lookup, const EMBMemoryReader* reader, EMBDwarfFrame* frame, EMBDwarfRuleCache* cache)
{
    if (frame->outermost)
        return false;
    std::uint64_t pc = frame->context.registers[kEMBDwarfRegisterRIP];
    if (frame->pcIsReturnAddress && pc > 0)
        --pc;
    std::uint64_t callerPC = 0;
    std::uint64_t callerSP = 0;
    if (cache != nullptr && EMBDwarfUnwindCachedFrames(*cache, reader, frame, &callerPC, &callerSP, 1) == 1)
        return true;
    return unwindFully(lookup, reader, frame, cache, pc);
}

std::uint32_t EMBDwarfUnwindCachedFrames(const EMBDwarfRuleCache& cache, const EMBMemoryReader* reader,
    EMBDwarfFrame* frame, std::uint64_t* pcs, std::uint64_t* sps, std::uint32_t capacity)
{
    if (frame->outermost)
        return 0;
    std::uint64_t* registers = frame->context.registers;
    PlainRegisters plain(registers);
    // A return address is looked up one byte back, inside the call.
    std::uint64_t back = frame->pcIsReturnAddress ? 1 : 0;
    std::uint64_t generation = cache.generation();
    // Stack is read in place only inside one run the reader knows readable, so that one check against its
    // bounds covers a frame's slots: first the run holding the first frame's, then, where a frame's slots
    // lie outside it, the run holding those. Where none does the batch ends, and the full way reads them
    // through the reader. Being whole pages, a run is larger than any row's slots.
    std::uint64_t stackStart = 0;
    std::uint64_t stackEnd = 0;
    auto findRun = [&](std::uint64_t address) {
        return reader->knownReadableRun(address, &stackStart, &stackEnd)
            && stackEnd - stackStart >= 8 * std::uint64_t(UINT8_MAX);
    };
    EMBDwarfPlainRow row;
    std::uint64_t rowKey = plain.pc - back;
    std::uint64_t cfa = 0;
    if (!cache.find(rowKey, generation, &row) || !cfaOf(row, plain, registers, &cfa)
        || !findRun(firstSlotOf(row, cfa)))
        return 0;
    std::uint64_t span = stackEnd - stackStart;
    bool outermost = false;
    std::uint32_t count = 0;
    for (; count < capacity && !outermost; ++count) {
        // A recursive call returns to the PC of its caller's frame: the row just applied applies again.
        std::uint64_t key = plain.pc - back;
        if (key != rowKey) {
            if (!cache.find(key, generation, &row))
                break;
            rowKey = key;
        }
        if (!cfaOf(row, plain, registers, &cfa))
            break;
        std::uint64_t first = firstSlotOf(row, cfa);
        std::uint64_t length = 8 * std::uint64_t(row.slotCount);
        if (first - stackStart > span - length) {
            if (!findRun(first))
                break;
            span = stackEnd - stackStart;
            if (first - stackStart > span - length)
                break;
        }
        bool endsHere = row.outermost();
        // The stack must move; the PC may stay, as it does from one call of a recursive function to the next.
        if (!endsHere && cfa == plain.sp)
            break;
        restore(row, reinterpret_cast<const std::uint64_t*>(first), cfa, &plain);
        back = (row.flags & EMBDwarfPlainRow::kSignalFrame) == 0 ? 1 : 0;
        outermost = endsHere;
        pcs[count] = plain.pc;
        sps[count] = plain.sp;
    }
    plain.store(registers);
    frame->pcIsReturnAddress = back != 0;
    frame->outermost = outermost;
    return count;
}

bool EMBDwarfCompareRegisters(const EMBThreadContext* a, const EMBThreadContext* b)
{
    for (std::uint64_t reg = 0; reg < kEMBDwarfRegisterCount; ++reg) {
        if (a->registers[reg] != b->registers[reg])
            return false;
    }
    return true;
}

bool EMBDwarfUnwindGetRegisterValue(const EMBThreadContext* context, std::uint64_t reg, std::uint64_t* value)
{
    if (reg >= kEMBDwarfRegisterCount) {
        EMBSDKFileLog("%s: Error: Unrecognized get register number %lu\n", __func__, reg);
        *value = 0;
        return false;
    }
    *value = context->registers[reg];
    return true;
}

bool EMBDwarfUnwindSetRegisterValue(EMBThreadContext* context, std::uint64_t reg, std::uint64_t value)
{
    if (reg >= kEMBDwarfRegisterCount) {
        EMBSDKFileLog("%s: Error: Unrecognized set register number %lu\n", __func__, reg);
        return false;
    }
    context->registers[reg] = value;
    return true;
}

}
