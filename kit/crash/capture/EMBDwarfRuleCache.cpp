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

void EMBDwarfRow::copyFrom(const EMBDwarfRow& other)
{
    cfaRegister = other.cfaRegister;
    cfaOffset = other.cfaOffset;
    cfaExpression = other.cfaExpression;
    returnAddressRegister = other.returnAddressRegister;
    signalFrame = other.signalFrame;
    ruleCount = other.ruleCount < kEMBDwarfRegisterCount ? other.ruleCount : kEMBDwarfRegisterCount;
    for (std::uint32_t i = 0; i < ruleCount; ++i)
        rules[i] = other.rules[i];
}

std::size_t EMBDwarfRuleCache::indexOf(std::uint64_t pc)
{
    return std::size_t((pc * 0x9e3779b97f4a7c15ull) >> (64 - kEntryBits));
}

bool EMBDwarfRuleCache::find(std::uint64_t pc, EMBDwarfRow* row) const
{
    const Entry& entry = m_entries[indexOf(pc)];
    std::uint64_t before = entry.sequence.load(std::memory_order_acquire);
    if (before == 0 || before % 2 != 0 || entry.pc != pc || entry.generation != generation())
        return false;
    row->copyFrom(entry.row);
    std::atomic_thread_fence(std::memory_order_acquire);
    return entry.sequence.load(std::memory_order_relaxed) == before;
}

void EMBDwarfRuleCache::insert(std::uint64_t pc, std::uint64_t generation, const EMBDwarfRow& row)
{
    Entry& entry = m_entries[indexOf(pc)];
    std::uint64_t sequence = entry.sequence.load(std::memory_order_relaxed);
    if (sequence % 2 != 0
        || !entry.sequence.compare_exchange_strong(
            sequence, sequence + 1, std::memory_order_acquire, std::memory_order_relaxed))
        return;
    std::atomic_thread_fence(std::memory_order_release);
    entry.pc = pc;
    entry.generation = generation;
    entry.row.copyFrom(row);
    entry.sequence.store(sequence + 2, std::memory_order_release);
}

}
