#include "kit/crash/capture/EMBDwarfRuleCache.h"

namespace kit {

EMBDwarfRow EMBDwarfRow::fromState(const EMBDwarfState& state, std::uint64_t returnAddressRegister)
{
    EMBDwarfRow row;
    row.cfaRegister = state.cfaRegister;
    row.cfaOffset = state.cfaOffset;
    row.cfaExpression = state.cfaExpression;
    row.returnAddressRegister = returnAddressRegister;
    for (std::uint32_t reg = 0; reg < kEMBDwarfRegisterCount; ++reg) {
        if (state.rules[reg].kind != kEMBDwarfRuleNone)
            row.rules[row.ruleCount++] = { reg, state.rules[reg].kind, state.rules[reg].value };
    }
    return row;
}

bool EMBDwarfPlainRow::fromRow(const EMBDwarfRow& row, EMBDwarfPlainRow* plain)
{
    if (row.cfaExpression != 0 || row.cfaRegister >= kEMBDwarfRegisterCount
        || row.returnAddressRegister != kEMBDwarfRegisterRIP || row.cfaOffset < INT32_MIN
        || row.cfaOffset > INT32_MAX)
        return false;
    std::int64_t lowest = INT64_MAX;
    std::int64_t highest = INT64_MIN;
    for (std::uint32_t i = 0; i < row.ruleCount; ++i) {
        const EMBDwarfRow::Rule& rule = row.rules[i];
        if (rule.kind == kEMBDwarfRuleUndefined)
            continue;
        if (rule.kind != kEMBDwarfRuleOffset || rule.value % 8 != 0)
            return false;
        lowest = rule.value / 8 < lowest ? rule.value / 8 : lowest;
        highest = rule.value / 8 > highest ? rule.value / 8 : highest;
    }
    bool saves = lowest <= highest;
    if (saves && (lowest < INT8_MIN || highest - lowest >= std::int64_t(kMaxSlots)))
        return false;
    *plain = EMBDwarfPlainRow {};
    plain->cfaOffset = std::int32_t(row.cfaOffset);
    plain->cfaRegister = std::uint8_t(row.cfaRegister);
    plain->signalFrame = row.signalFrame;
    plain->firstSlot = saves ? std::int8_t(lowest) : 0;
    plain->slotCount = saves ? std::uint8_t(highest - lowest + 1) : 0;
    for (std::uint32_t i = 0; i < row.ruleCount; ++i) {
        const EMBDwarfRow::Rule& rule = row.rules[i];
        if (rule.kind == kEMBDwarfRuleUndefined) {
            plain->undefinedMask |= 1u << rule.reg;
        } else {
            plain->savedMask |= 1u << rule.reg;
            plain->slots[rule.reg] = std::uint8_t(rule.value / 8 - lowest);
        }
    }
    return true;
}

void EMBDwarfRuleCache::insert(std::uint64_t pc, std::uint64_t generation, const EMBDwarfRow& row)
{
    EMBDwarfPlainRow plain;
    if (!EMBDwarfPlainRow::fromRow(row, &plain))
        return;
    Entry& entry = m_entries[indexOf(pc)];
    std::uint32_t sequence = entry.sequence.load(std::memory_order_relaxed);
    if (sequence % 2 != 0
        || !entry.sequence.compare_exchange_strong(
            sequence, sequence + 1, std::memory_order_acquire, std::memory_order_relaxed))
        return;
    std::atomic_thread_fence(std::memory_order_release);
    entry.pc = pc;
    entry.generation = generation;
    entry.row = plain;
    // Never back to 0, which marks an entry never written.
    entry.sequence.store(sequence + 2 == 0 ? 2 : sequence + 2, std::memory_order_release);
}

}
