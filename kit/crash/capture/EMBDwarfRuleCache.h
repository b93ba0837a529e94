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
};

/// The row of nearly every frame compiled code leaves, in two words: the CFA is a register plus an offset,
/// the return address and the registers calls preserve (rbx, rbp, r12 to r15) are each kept, saved in a
/// stack slot near the CFA or undefined, and no other register has a rule. Every slot is stored ready to use
/// in one word, so applying the row takes two loads of the row and one of the stack per register restored:
/// no table, instruction or expression, and no field found through another.
struct EMBDwarfPlainRow {
    /// Most stack slots between the lowest and the highest saved register.
    static constexpr std::uint32_t kMaxSlots { 32 };
    /// A register's slot when the row leaves it as it is.
    static constexpr std::uint8_t kKept { 0xff };
    /// A register's slot when it is undefined in the caller; for the return address, the outermost frame.
    static constexpr std::uint8_t kUndefined { 0xfe };
    /// The registers calls preserve, by DWARF number, in the order of their slots in `slots`.
    static constexpr std::uint8_t kPreservedRegisters[6] { 3, 6, 12, 13, 14, 15 };
    /// `slots`' byte of the return address's slot.
    static constexpr std::uint32_t kReturnAddressByte { 6 };
    /// `slots`' byte of the mask of preserved registers saved.
    static constexpr std::uint32_t kSavedMaskByte { 7 };
    /// `flags`: the frame is a signal's.
    static constexpr std::uint8_t kSignalFrame { 1 };
    /// `flags`: a preserved register is undefined in the caller.
    static constexpr std::uint8_t kUndefinesPreserved { 2 };

    std::int32_t cfaOffset;
    std::uint8_t cfaRegister;
    std::uint8_t flags;
    std::int8_t firstSlot;
    /// Slots from `firstSlot` to the highest one saved: the stack the row reads.
    std::uint8_t slotCount;
    /// Byte i < 6: the slot of kPreservedRegisters[i] (saved at CFA + 8 × (`firstSlot` + slot)), kKept or
    /// kUndefined; byte kReturnAddressByte: the return address's, alike; byte kSavedMaskByte: bit i set when
    /// kPreservedRegisters[i] is saved.
    std::uint64_t slots;

    /// The slot in byte `byte` of `slots`.
    std::uint8_t slot(std::uint32_t byte) const { return std::uint8_t(slots >> (8 * byte)); }
    /// The return address's slot, kKept or kUndefined.
    std::uint8_t returnAddress() const { return slot(kReturnAddressByte); }
    /// Whether the return address is undefined: the frame is the outermost.
    bool outermost() const { return returnAddress() == kUndefined; }

    /// `row` in this form; false when it has a rule of another kind or for another register, a CFA
    /// expression, a return address elsewhere than the PC's number, or slots too far from the CFA or from
    /// one another.
    static bool fromRow(const EMBDwarfRow& row, EMBDwarfPlainRow* plain);
};
static_assert(sizeof(EMBDwarfPlainRow) == 16, "a plain row is two words");

/// Plain rows already worked out, by PC, so that a walk through code it has seen before skips the image
/// lookup, the table search and the call-frame instructions. A fixed table of sets of four 32-byte entries,
/// reserved with its owner: nothing is allocated, no lock is taken, and any thread or signal handler may look
/// up and fill it at once (an entry being written is a miss for everyone else). Four ways to a set keep the
/// rows of a walk's few dozen PCs from pushing one another out, whatever addresses the images are loaded at.
/// Rows of another form are worked out each time. Only the tables of images still loaded may be cached:
/// `invalidate` forgets every row when an image goes away.
class EMBDwarfRuleCache {
public:
    /// The generation to store with rows computed from now on: read it before looking up the tables.
    std::uint64_t generation() const { return m_generation.load(std::memory_order_acquire); }

    /// The row cached for `pc`; false when there is none of the current generation.
    bool find(std::uint64_t pc, EMBDwarfPlainRow* row) const { return find(pc, generation(), row); }

    /// The row cached for `pc` at `generation` (as read before a series of look-ups); false when there is
    /// none. One word of an entry tells at once whether it holds a row of that generation and, read again
    /// after the row, whether a writer came in between.
    bool find(std::uint64_t pc, std::uint64_t generation, EMBDwarfPlainRow* row) const
    {
        const Entry* set = m_sets[setOf(pc)].ways;
        for (std::size_t way = 0; way < kWays; ++way) {
            const Entry& entry = set[way];
            std::uint64_t stamp = entry.stamp.load(std::memory_order_acquire);
            if (std::uint32_t(stamp) != std::uint32_t(generation) || entry.pc != pc)
                continue;
            *row = entry.row;
            std::atomic_thread_fence(std::memory_order_acquire);
            return entry.stamp.load(std::memory_order_relaxed) == stamp;
        }
        return false;
    }
    /// Caches `row` for `pc`, computed at `generation`, when it has the plain form, in an entry of its set
    /// that holds no row of that generation if there is one; quietly skipped while another thread writes
    /// the entry.
    void insert(std::uint64_t pc, std::uint64_t generation, const EMBDwarfRow& row);
    /// Forgets every row.
    void invalidate();
    /// Writes to every entry once, changing nothing, so that the table's pages are the process's own before a
    /// crash: a row cached at crash time then never waits for a page fault. Call at start.
    void reserve();

private:
    static constexpr std::size_t kWays { 4 };
    static constexpr std::size_t kSetBits { 8 };
    static constexpr std::size_t kSets { std::size_t(1) << kSetBits };

    struct alignas(32) Entry {
        /// Low half: the generation's low half, which is never 0, when the entry holds a row; 0 while it is
        /// written or before it ever was. High half: how many times it was written, never 0 once it was.
        std::atomic<std::uint64_t> stamp { 0 };
        std::uint64_t pc { 0 };
        EMBDwarfPlainRow row {};
    };
    static_assert(sizeof(Entry) == 32, "an entry lies within one cache line");

    struct alignas(64) Set {
        Entry ways[kWays];
    };

    static std::size_t setOf(std::uint64_t pc)
    {
        // Two instructions on the way from one frame to the next, with the scaling: a walk's PCs spread over
        // the bits of their offsets within a page, and a set's four ways take the few that meet.
        return std::size_t((pc >> 4) & (kSets - 1));
    }

    /// Never a multiple of 2^32, so that its low half, kept in each entry's stamp, is never 0.
    std::atomic<std::uint64_t> m_generation { 1 };
    Set m_sets[kSets];
};

}
