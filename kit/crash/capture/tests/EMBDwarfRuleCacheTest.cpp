#include "kit/crash/capture/EMBDwarfRuleCache.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace kit {
namespace {

// A row as a compiler leaves it after pushing rbp and rbx: CFA = rsp + 24, return address at CFA - 8.
EMBDwarfRow pushedTwo()
{
    EMBDwarfRow row;
    row.cfaRegister = kEMBDwarfRegisterRSP;
    row.cfaOffset = 24;
    row.rules[row.ruleCount++] = { kEMBDwarfRegisterRIP, kEMBDwarfRuleOffset, -8 };
    row.rules[row.ruleCount++] = { kEMBDwarfRegisterRBP, kEMBDwarfRuleOffset, -16 };
    row.rules[row.ruleCount++] = { 3, kEMBDwarfRuleOffset, -24 };
    return row;
}

TEST(EMBDwarfPlainRow, TakesRowsOfSavedSlotsAndLeavesTheRestToTheFullRules)
{
    struct Case {
        const char* name;
        void (*change)(EMBDwarfRow&);
        bool plain;
    };
    Case cases[] {
        { "registers pushed below the return address", [](EMBDwarfRow&) {}, true },
        { "no rule at all", [](EMBDwarfRow& row) { row.ruleCount = 0; }, true },
        { "an undefined return address",
            [](EMBDwarfRow& row) {
                row.rules[0] = { kEMBDwarfRegisterRIP, kEMBDwarfRuleUndefined, 0 };
            },
            true },
        { "a signal frame", [](EMBDwarfRow& row) { row.signalFrame = true; }, true },
        { "slots 31 apart", [](EMBDwarfRow& row) { row.rules[2].value = -8 - 31 * 8; }, true },
        { "slots 32 apart", [](EMBDwarfRow& row) { row.rules[2].value = -8 - 32 * 8; }, false },
        { "a slot above the CFA", [](EMBDwarfRow& row) { row.rules[1].value = 16; }, true },
        { "a slot out of a byte's reach", [](EMBDwarfRow& row) { row.rules[1].value = -8 * 200; }, false },
        { "an unaligned slot", [](EMBDwarfRow& row) { row.rules[1].value = -12; }, false },
        { "a CFA expression", [](EMBDwarfRow& row) { row.cfaExpression = 0x1000; }, false },
        { "the return address in another register", [](EMBDwarfRow& row) { row.returnAddressRegister = 0; },
            false },
        { "a register kept in another", [](EMBDwarfRow& row) { row.rules[1].kind = kEMBDwarfRuleRegister; },
            false },
        { "a value offset", [](EMBDwarfRow& row) { row.rules[1].kind = kEMBDwarfRuleValOffset; }, false },
        { "an expression", [](EMBDwarfRow& row) { row.rules[1].kind = kEMBDwarfRuleExpression; }, false },
        { "a register calls may change, saved",
            [](EMBDwarfRow& row) {
                row.rules[row.ruleCount++] = { 0, kEMBDwarfRuleOffset, -32 };
            },
            false },
        { "a register calls may change, undefined",
            [](EMBDwarfRow& row) {
                row.rules[row.ruleCount++] = { 1, kEMBDwarfRuleUndefined, 0 };
            },
            false },
        { "a CFA offset beyond 32 bits", [](EMBDwarfRow& row) { row.cfaOffset = std::int64_t(1) << 40; },
            false },
    };
    for (const Case& c : cases) {
        EMBDwarfRow row = pushedTwo();
        c.change(row);
        EMBDwarfPlainRow plain;
        EXPECT_EQ(EMBDwarfPlainRow::fromRow(row, &plain), c.plain) << c.name;
    }
}

TEST(EMBDwarfPlainRow, KeepsEachSavedRegistersSlot)
{
    EMBDwarfRow row = pushedTwo();
    row.rules[row.ruleCount++] = { 12, kEMBDwarfRuleUndefined, 0 };
    EMBDwarfPlainRow plain;
    ASSERT_TRUE(EMBDwarfPlainRow::fromRow(row, &plain));
    EXPECT_EQ(plain.cfaRegister, kEMBDwarfRegisterRSP);
    EXPECT_EQ(plain.cfaOffset, 24);
    EXPECT_EQ(plain.firstSlot, -3);
    EXPECT_EQ(plain.slotCount, 3);
    EXPECT_EQ(plain.returnAddress(), 2) << "CFA - 8";
    // rbx, rbp, r12 … r15.
    EXPECT_EQ(plain.slot(1), 1) << "rbp at CFA - 16";
    EXPECT_EQ(plain.slot(0), 0) << "rbx at CFA - 24";
    EXPECT_EQ(plain.slot(2), EMBDwarfPlainRow::kUndefined) << "r12";
    for (std::uint32_t i = 3; i < 6; ++i)
        EXPECT_EQ(plain.slot(i), EMBDwarfPlainRow::kKept) << "r13 to r15";
    EXPECT_EQ(plain.slot(EMBDwarfPlainRow::kSavedMaskByte), 0b11) << "rbx and rbp saved";
    EXPECT_EQ(plain.flags, EMBDwarfPlainRow::kUndefinesPreserved);
    EXPECT_FALSE(plain.outermost());
}

class EMBDwarfRuleCacheTest : public ::testing::Test {
protected:
    // 64 KB: on the heap rather than a test thread's stack.
    std::unique_ptr<EMBDwarfRuleCache> m_cache { std::make_unique<EMBDwarfRuleCache>() };
};

TEST_F(EMBDwarfRuleCacheTest, FindsPlainRowsUntilInvalidated)
{
    EMBDwarfPlainRow found;
    EXPECT_FALSE(m_cache->find(0x1000, &found)) << "an empty cache";
    m_cache->insert(0x1000, m_cache->generation(), pushedTwo());
    ASSERT_TRUE(m_cache->find(0x1000, &found));
    EXPECT_EQ(found.cfaOffset, 24);
    EXPECT_FALSE(m_cache->find(0x1001, &found)) << "another PC";

    EMBDwarfRow expression = pushedTwo();
    expression.cfaExpression = 0x2000;
    m_cache->insert(0x3000, m_cache->generation(), expression);
    EXPECT_FALSE(m_cache->find(0x3000, &found)) << "a row of another form is not kept";

    std::uint64_t before = m_cache->generation();
    m_cache->invalidate();
    EXPECT_FALSE(m_cache->find(0x1000, &found)) << "an image went away";
    m_cache->insert(0x1000, before, pushedTwo());
    EXPECT_FALSE(m_cache->find(0x1000, &found)) << "worked out from tables that may be gone";
}

// Return addresses at the same offset in different pages (images load at any page) meet in one set: a walk
// through all of them finds each row every time rather than one pushing out another.
TEST_F(EMBDwarfRuleCacheTest, KeepsTheRowsOfPCsAtOneOffsetInFourPages)
{
    constexpr std::uint64_t kPageSize = 4096;
    for (std::uint64_t page = 0; page < 4; ++page) {
        EMBDwarfRow row = pushedTwo();
        row.cfaOffset = 24 + 8 * std::int64_t(page);
        m_cache->insert(0x400123 + page * kPageSize, m_cache->generation(), row);
    }
    for (std::uint64_t page = 0; page < 4; ++page) {
        EMBDwarfPlainRow found;
        ASSERT_TRUE(m_cache->find(0x400123 + page * kPageSize, &found)) << "page " << page;
        EXPECT_EQ(found.cfaOffset, 24 + 8 * std::int32_t(page));
    }
}

// Threads filling and reading the same few entries at once never see one PC's row under another PC.
TEST_F(EMBDwarfRuleCacheTest, ConcurrentFillsNeverMixRows)
{
    constexpr int kThreads = 8;
    constexpr std::uint64_t kPcs = 4096;
    std::atomic<int> wrong { 0 };
    std::atomic<int> hits { 0 };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([this, t, &wrong, &hits] {
            for (int round = 0; round < 20; ++round) {
                for (std::uint64_t i = 0; i < kPcs; ++i) {
                    std::uint64_t pc = 0x400000 + ((i * 7 + std::uint64_t(t)) % kPcs) * 16;
                    // Each PC has a row of its own: its CFA offset and rbp's slot tell it apart.
                    EMBDwarfRow row = pushedTwo();
                    row.cfaOffset = std::int64_t(pc % 1000003);
                    row.rules[1].value = 8 * std::int64_t(pc % 20);
                    m_cache->insert(pc, m_cache->generation(), row);
                    EMBDwarfPlainRow found;
                    if (!m_cache->find(pc, &found))
                        continue;
                    ++hits;
                    EMBDwarfPlainRow expected;
                    EMBDwarfPlainRow::fromRow(row, &expected);
                    if (found.cfaOffset != expected.cfaOffset || found.slotCount != expected.slotCount
                        || found.slots != expected.slots)
                        ++wrong;
                }
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(hits, 0);
}

}
}
