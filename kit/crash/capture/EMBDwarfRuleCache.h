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
/// lookup, the table search and the call-frame instructions. A fixed direct-mapped table of one cache line
/// per entry, reserved with its owner: nothing is allocated, no lock is taken, and any thread or signal
/// handler may look up and fill it at once (an entry being written is a miss for everyone else). Rows of
/// another form are worked out each time. Only the tables of images still loaded may be cached:
/// `invalidate` forgets every row when an image goes away.
class EMBDwarfRuleCache {
public:
    /// The generation to store with rows computed from now on: read it before looking up the tables.
    std::uint64_t generation() const { return m_generation.load(std::memory_order_acquire); }

    /// The row cached for `pc`; false when there is none of the current generation.
    bool find(std::uint64_t pc, EMBDwarfPlainRow* row) const { return find(pc, generation(), row); }

    /// The row cached for `pc` at `generation` (as read before a series of look-ups); false when there is
    /// none.
    bool find(std::uint64_t pc, std::uint64_t generation, EMBDwarfPlainRow* row) const
    {
        const Entry& entry = m_entries[indexOf(pc)];
        std::uint32_t before = entry.sequence.load(std::memory_order_acquire);
        if (before == 0 || before % 2 != 0 || entry.pc != pc || entry.generation != generation)
            return false;
        *row = entry.row;
        std::atomic_thread_fence(std::memory_order_acquire);
        return entry.sequence.load(std::memory_order_relaxed) == before;
    }
    /// Caches `row` for `pc`, computed at `generation`, when it has the plain form; quietly skipped while
    /// another thread writes the same entry.
    void insert(std::uint64_t pc, std::uint64_t generation, const EMBDwarfRow& row);
    /// Forgets every row.
    void invalidate() { m_generation.fetch_add(1, std::memory_order_acq_rel); }
    /// Writes to every entry once, changing nothing, so that the table's pages are the process's own before a
    /// crash: a row cached at crash time then never waits for a page fault. Call at start.
    void reserve();

private:
    static constexpr std::size_t kEntryBits { 10 };
    static constexpr std::size_t kEntries { std::size_t(1) << kEntryBits };

    struct alignas(64) Entry {
        /// Odd while being written.
        std::atomic<std::uint32_t> sequence { 0 };
        std::uint64_t pc { 0 };
        std::uint64_t generation { 0 };
        EMBDwarfPlainRow row {};
    };
    static_assert(sizeof(Entry) == 64, "an entry fills one cache line");

    static std::size_t indexOf(std::uint64_t pc)
    {
        // Cheaper than a multiplication on the way from one frame to the next: code addresses differ
        // in their low bits, and the bits above fold in the page.
        return std::size_t((pc ^ (pc >> kEntryBits)) & (kEntries - 1));
    }

    std::atomic<std::uint64_t> m_generation { 1 };
    Entry m_entries[kEntries];
};

}
