#include "kit/crash/capture/EMBDwarfUnwind.h"

#include "kit/crash/capture/EMBMemoryReader.h"
#include "kit/crash/capture/EMBSDKLog.h"

#include <cstring>
#include <iterator>

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

std::uint64_t cfaOf(const EMBDwarfPlainRow& row, const EMBDwarfFrame* frame)
{
    return frame->context.registers[row.cfaRegister] + std::uint64_t(std::int64_t(row.cfaOffset));
}

std::uint64_t firstSlotOf(const EMBDwarfPlainRow& row, std::uint64_t cfa)
{
    return cfa + std::uint64_t(std::int64_t(row.firstSlot) * 8);
}

// Sets each preserved register the row saves to its slot's word, and each it leaves undefined to 0.
inline void restorePreserved(
    const EMBDwarfPlainRow& row, const std::uint64_t* slots, std::uint64_t* registers)
{
    for (std::uint32_t saved = row.slot(EMBDwarfPlainRow::kSavedMaskByte); saved != 0; saved &= saved - 1) {
        std::uint32_t i = std::uint32_t(__builtin_ctz(saved));
        registers[EMBDwarfPlainRow::kPreservedRegisters[i]] = EMBLoadReadableWord(&slots[row.slot(i)]);
    }
    if ((row.flags & EMBDwarfPlainRow::kUndefinesPreserved) != 0) {
        for (std::uint32_t i = 0; i < std::size(EMBDwarfPlainRow::kPreservedRegisters); ++i) {
            if (row.slot(i) == EMBDwarfPlainRow::kUndefined)
                registers[EMBDwarfPlainRow::kPreservedRegisters[i]] = 0;
        }
    }
}

// The caller's PC by the row: saved, undefined (0) or left as `pc`.
inline std::uint64_t returnAddress(const EMBDwarfPlainRow& row, const std::uint64_t* slots, std::uint64_t pc)
{
    std::uint8_t slot = row.returnAddress();
    if (slot == EMBDwarfPlainRow::kKept)
        return pc;
    return slot == EMBDwarfPlainRow::kUndefined ? 0 : EMBLoadReadableWord(&slots[slot]);
}

// The caller of `frame` by a plain row, in place; `frame` is left as it was when it fails.
bool applyPlainRow(const EMBDwarfPlainRow& row, const EMBMemoryReader* reader, EMBDwarfFrame* frame)
{
    std::uint64_t* registers = frame->context.registers;
    std::uint64_t cfa = cfaOf(row, frame);
    std::uint64_t buffer[EMBDwarfPlainRow::kMaxSlots];
    const auto* slots
        = static_cast<const std::uint64_t*>(reader->view(firstSlotOf(row, cfa), buffer, 8 * row.slotCount));
    if (slots == nullptr) {
        EMBSDKFileLog("%s: Error: Unable to read CFA value\n", __func__);
        return false;
    }
    bool outermost = row.outermost();
    if (!outermost && cfa == registers[kEMBDwarfRegisterRSP]) {
        EMBSDKFileLog("%s: Error: Stack pointer hasn't changed\n", __func__);
        return false;
    }
    restorePreserved(row, slots, registers);
    registers[kEMBDwarfRegisterRIP] = returnAddress(row, slots, registers[kEMBDwarfRegisterRIP]);
    registers[kEMBDwarfRegisterRSP] = cfa;
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
    // The PC, the stack pointer and the flags stay in locals from one frame to the next (the frame gets them
    // back at the end): most rows need no other register than those.
    std::uint64_t* registers = frame->context.registers;
    std::uint64_t pc = registers[kEMBDwarfRegisterRIP];
    std::uint64_t sp = registers[kEMBDwarfRegisterRSP];
    bool pcIsReturnAddress = frame->pcIsReturnAddress;
    bool outermost = frame->outermost;
    std::uint64_t generation = cache.generation();
    std::uint32_t count = 0;
    for (; count < capacity && !outermost; ++count) {
        EMBDwarfPlainRow row;
        if (!cache.find(pcIsReturnAddress && pc > 0 ? pc - 1 : pc, generation, &row))
            break;
        std::uint64_t base = row.cfaRegister == kEMBDwarfRegisterRSP ? sp : registers[row.cfaRegister];
        std::uint64_t cfa = base + std::uint64_t(std::int64_t(row.cfaOffset));
        std::uint64_t first = firstSlotOf(row, cfa);
        bool endsHere = row.outermost();
        // The stack must move; the PC may stay, as it does from one call of a recursive function to the next.
        if (!reader->isKnownReadable(first, 8 * row.slotCount) || (!endsHere && cfa == sp))
            break;
        const auto* slots = reinterpret_cast<const std::uint64_t*>(first);
        restorePreserved(row, slots, registers);
        pc = returnAddress(row, slots, pc);
        sp = cfa;
        pcIsReturnAddress = (row.flags & EMBDwarfPlainRow::kSignalFrame) == 0;
        outermost = endsHere;
        pcs[count] = pc;
        sps[count] = sp;
    }
    registers[kEMBDwarfRegisterRIP] = pc;
    registers[kEMBDwarfRegisterRSP] = sp;
    frame->pcIsReturnAddress = pcIsReturnAddress;
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
