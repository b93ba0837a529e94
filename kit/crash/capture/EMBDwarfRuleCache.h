#pragma once

#include "kit/crash/capture/EMBDwarfState.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace kit {

/// What unwinding one PC needs from its call-frame information: the row that covers it, kept short (only
/// the registers that have a rule), and two facts of its CIE.
struct EMBDwarfRow {
    /// Left uninitialised: only the first `ruleCount` are ever read, and a walk makes a row per frame.
    struct Rule {
        std::uint32_t reg;
        std::uint32_t kind;
        std::int64_t value;
    };

    std::uint64_t cfaRegister { 0 };
    std::int64_t cfaOffset { 0 };
    /// As in EMBDwarfState: 0 when the CFA is register + offset.
    std::uint64_t cfaExpression { 0 };
    std::uint64_t returnAddressRegister { kEMBDwarfRegisterRIP };
    bool signalFrame { false };
    std::uint32_t ruleCount { 0 };
    Rule rules[kEMBDwarfRegisterCount];

    /// The row of `state`, whose return address is in `returnAddressRegister`.
    static EMBDwarfRow fromState(const EMBDwarfState& state, std::uint64_t returnAddressRegister);
    /// Copies the header and the rules in use, not the unused tail.
    void copyFrom(const EMBDwarfRow& other);
};

/// Rows already worked out, by PC, so that a walk through code it has seen before skips the table search
/// and the call-frame instructions. A fixed table reserved with its owner: nothing is allocated, no lock
/// is taken, and any thread or signal handler may look up and fill it at once (an entry being written is a
/// miss for everyone else). Only the tables of images still loaded may be cached: `invalidate` forgets
/// every row when an image goes away.
class EMBDwarfRuleCache {
public:
    /// The generation to store with rows computed from now on: read it before looking up the tables.
    std::uint64_t generation() const { return m_generation.load(std::memory_order_acquire); }

    /// The row cached for `pc`; false when there is none of the current generation.
    bool find(std::uint64_t pc, EMBDwarfRow* row) const;
    /// Caches `row` for `pc`, computed at `generation`; quietly skipped while another thread writes the
    /// same entry.
    void insert(std::uint64_t pc, std::uint64_t generation, const EMBDwarfRow& row);
    /// Forgets every row.
    void invalidate() { m_generation.fetch_add(1, std::memory_order_acq_rel); }

private:
    static constexpr std::size_t kEntryBits { 10 };
    static constexpr std::size_t kEntries { std::size_t(1) << kEntryBits };

    struct Entry {
        /// Odd while being written.
        std::atomic<std::uint64_t> sequence { 0 };
        std::uint64_t pc { 0 };
        std::uint64_t generation { 0 };
        EMBDwarfRow row;
    };

    static std::size_t indexOf(std::uint64_t pc);

    std::atomic<std::uint64_t> m_generation { 1 };
    Entry m_entries[kEntries];
};

}
