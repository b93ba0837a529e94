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

namespace {

// Where `reg`'s slot is in a plain row: its byte of `slots`, -1 for a register the row cannot keep.
int plainIndexOf(std::uint32_t reg)
{
    if (reg == kEMBDwarfRegisterRIP)
        return int(EMBDwarfPlainRow::kReturnAddressByte);
    for (int i = 0; i < 6; ++i) {
        if (EMBDwarfPlainRow::kPreservedRegisters[i] == reg)
            return i;
    }
    return -1;
}

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
        if (plainIndexOf(rule.reg) < 0)
            return false;
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
    plain->flags = row.signalFrame ? kSignalFrame : 0;
    plain->firstSlot = saves ? std::int8_t(lowest) : 0;
    plain->slotCount = saves ? std::uint8_t(highest - lowest + 1) : 0;
    std::uint8_t bytes[8] { kKept, kKept, kKept, kKept, kKept, kKept, kKept, 0 };
    for (std::uint32_t i = 0; i < row.ruleCount; ++i) {
        const EMBDwarfRow::Rule& rule = row.rules[i];
        int index = plainIndexOf(rule.reg);
        bool undefined = rule.kind == kEMBDwarfRuleUndefined;
        bytes[index] = undefined ? kUndefined : std::uint8_t(rule.value / 8 - lowest);
        if (index < 6 && undefined)
            plain->flags |= kUndefinesPreserved;
        else if (index < 6)
            bytes[kSavedMaskByte] |= std::uint8_t(1u << index);
    }
    for (std::uint32_t byte = 0; byte < 8; ++byte)
        plain->slots |= std::uint64_t(bytes[byte]) << (8 * byte);
    return true;
}

void EMBDwarfRuleCache::insert(std::uint64_t pc, std::uint64_t generation, const EMBDwarfRow& row)
{
    EMBDwarfPlainRow plain;
    if (!EMBDwarfPlainRow::fromRow(row, &plain))
        return;
    // The entry already kept for the PC, else one holding no row of this generation, else one picked by the
    // PC's bits above the set's.
    Entry* set = m_sets[setOf(pc)].ways;
    Entry* chosen = nullptr;
    for (std::size_t way = 0; way < kWays; ++way) {
        std::uint64_t stamp = set[way].stamp.load(std::memory_order_relaxed);
        bool current = std::uint32_t(stamp) == std::uint32_t(generation);
        if (current && set[way].pc == pc) {
            chosen = &set[way];
            break;
        }
        if (chosen == nullptr && !current)
            chosen = &set[way];
    }
    Entry* entry = chosen != nullptr ? chosen : &set[(pc >> (4 + kSetBits)) % kWays];
    std::uint64_t stamp = entry->stamp.load(std::memory_order_relaxed);
    std::uint64_t writes = (stamp >> 32) + 1;
    // Never back to 0, which would let a second writer in.
    std::uint64_t writing = (writes == (std::uint64_t(1) << 32) ? 1 : writes) << 32;
    bool beingWritten = stamp != 0 && std::uint32_t(stamp) == 0;
    if (beingWritten
        || !entry->stamp.compare_exchange_strong(
            stamp, writing, std::memory_order_acquire, std::memory_order_relaxed))
        return;
    std::atomic_thread_fence(std::memory_order_release);
    entry->pc = pc;
    entry->row = plain;
    entry->stamp.store(writing | std::uint32_t(generation), std::memory_order_release);
}

void EMBDwarfRuleCache::invalidate()
{
    std::uint64_t generation = m_generation.load(std::memory_order_relaxed);
    std::uint64_t next = 0;
    do {
        next = generation + 1;
        if (std::uint32_t(next) == 0)
            ++next;
    } while (!m_generation.compare_exchange_weak(
        generation, next, std::memory_order_acq_rel, std::memory_order_relaxed));
}

void EMBDwarfRuleCache::reserve()
{
    for (Set& set : m_sets) {
        for (Entry& entry : set.ways)
            entry.stamp.fetch_add(0, std::memory_order_relaxed);
    }
}
}
