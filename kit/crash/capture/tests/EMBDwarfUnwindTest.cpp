#include "kit/crash/capture/EMBDwarfUnwind.h"

#include "kit/crash/capture/EMBMemoryReader.h"
#include "kit/crash/capture/tests/LoadedImageTables.h"

#include <gtest/gtest.h>

#define UNW_LOCAL_ONLY
#include <libunwind.h>

#include <ucontext.h>

extern "C" {
void cfi_frame_pointer(void (*callback)());
void cfi_remember_restore(void (*callback)());
void cfi_cfa_expression(void (*callback)());
void cfi_register_rules(void (*callback)());
void cfi_plt_expression(void (*callback)());
void cfi_outermost(void (*callback)());
}

namespace kit {
namespace {

constexpr int kSteps = 3;

/// The registers a caller can count on after a step: PC, SP and the callee-saved ones.
struct Frame {
    std::uint64_t pc { 0 };
    std::uint64_t sp { 0 };
    std::uint64_t rbx { 0 };
    std::uint64_t rbp { 0 };
    std::uint64_t r12 { 0 };
    std::uint64_t r13 { 0 };
    std::uint64_t r14 { 0 };
    std::uint64_t r15 { 0 };
    bool operator==(const Frame&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Frame& frame)
{
    return out << std::hex << "pc=" << frame.pc << " sp=" << frame.sp << " rbx=" << frame.rbx
               << " rbp=" << frame.rbp << " r12=" << frame.r12 << " r13=" << frame.r13 << " r14=" << frame.r14
               << " r15=" << frame.r15;
}

/// Our frames after each step, and whether the walk reached the outermost frame.
struct Walk {
    std::vector<Frame> frames;
    bool reachedOutermost { false };
};

struct Walks {
    std::vector<Frame> theirs;
    /// Without a rule cache, then with one twice: rows worked out and kept, then rows found.
    Walk ours;
    Walk cold;
    Walk warm;
};

Walks g_walks;

Frame fromContext(const EMBThreadContext& context)
{
    auto& r = context.registers;
    return { r[16], r[7], r[3], r[6], r[12], r[13], r[14], r[15] };
}

std::uint64_t reg(unw_cursor_t& cursor, int number)
{
    unw_word_t value = 0;
    unw_get_reg(&cursor, number, &value);
    return value;
}

// The frame `context` holds, its PC taken as a return address: the unwinder's start where libunwind's is.
EMBDwarfFrame frameOf(const unw_context_t& context)
{
    const greg_t* gregs = context.uc_mcontext.gregs;
    EMBDwarfFrame start;
    auto& r = start.context.registers;
    r[0] = std::uint64_t(gregs[REG_RAX]);
    r[1] = std::uint64_t(gregs[REG_RDX]);
    r[2] = std::uint64_t(gregs[REG_RCX]);
    r[3] = std::uint64_t(gregs[REG_RBX]);
    r[4] = std::uint64_t(gregs[REG_RSI]);
    r[5] = std::uint64_t(gregs[REG_RDI]);
    r[6] = std::uint64_t(gregs[REG_RBP]);
    r[7] = std::uint64_t(gregs[REG_RSP]);
    for (int i = 0; i < 8; ++i)
        r[8 + i] = std::uint64_t(gregs[REG_R8 + i]);
    r[16] = std::uint64_t(gregs[REG_RIP]);
    start.pcIsReturnAddress = true;
    return start;
}

// Called by a fixture: unwinds from here with libunwind and with ours, a few frames each.
__attribute__((noinline)) void captureBothWalks()
{
    unw_context_t context;
    unw_getcontext(&context);
    unw_cursor_t cursor;
    unw_init_local(&cursor, &context);
    g_walks = {};
    for (int i = 0; i < kSteps && unw_step(&cursor) > 0; ++i) {
        g_walks.theirs.push_back({ reg(cursor, UNW_REG_IP), reg(cursor, UNW_REG_SP),
            reg(cursor, UNW_X86_64_RBX), reg(cursor, UNW_X86_64_RBP), reg(cursor, UNW_X86_64_R12),
            reg(cursor, UNW_X86_64_R13), reg(cursor, UNW_X86_64_R14), reg(cursor, UNW_X86_64_R15) });
    }

    EMBDwarfFrame start = frameOf(context);
    auto walk = [&start](EMBDwarfRuleCache* cache) {
        Walk walk;
        EMBDwarfFrame frame = start;
        EMBSafeMemoryReader reader;
        for (int i = 0; i < kSteps && EMBDwarfUnwindFrame(testing::lookupLoadedImage, &reader, &frame, cache);
             ++i) {
            if (frame.outermost) {
                walk.reachedOutermost = true;
                break;
            }
            walk.frames.push_back(fromContext(frame.context));
        }
        return walk;
    };
    static EMBDwarfRuleCache cache;
    cache.invalidate();
    g_walks.ours = walk(nullptr);
    g_walks.cold = walk(&cache);
    g_walks.warm = walk(&cache);
}

struct Fixture {
    const char* name;
    void (*function)(void (*)());
    bool outermost;
};

class EMBDwarfUnwindFixtureTest : public ::testing::TestWithParam<Fixture> { };

TEST_P(EMBDwarfUnwindFixtureTest, UnwindsLikeLibunwind)
{
    GetParam().function(captureBothWalks);
    Walks walks = g_walks;
    std::size_t steps = GetParam().outermost ? 1 : std::size_t(kSteps);
    ASSERT_EQ(walks.theirs.size(), steps) << "libunwind stops at the outermost frame too";
    for (auto [name, ours] : { std::pair { "uncached", &walks.ours }, std::pair { "cold", &walks.cold },
             std::pair { "warm", &walks.warm } }) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ours->reachedOutermost, GetParam().outermost);
        ASSERT_EQ(ours->frames.size(), steps);
        for (std::size_t i = 0; i < steps; ++i)
            EXPECT_EQ(ours->frames[i], walks.theirs[i]) << "step " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(CallFrameInstructions, EMBDwarfUnwindFixtureTest,
    ::testing::Values(Fixture { "FramePointerAndArgsSize", cfi_frame_pointer, false },
        Fixture { "RememberAndRestoreState", cfi_remember_restore, false },
        Fixture { "CFAExpression", cfi_cfa_expression, false },
        Fixture { "OffsetExtendedSfExpressionAndRegister", cfi_register_rules, false },
        Fixture { "PltExpressionWithGeAndShl", cfi_plt_expression, false },
        Fixture { "UndefinedReturnAddress", cfi_outermost, true }),
    [](const auto& info) { return std::string(info.param.name); });

// A walk through a deep recursion (the same return address over and over) and on through the test's callers
// to the outermost frame: once the rows are cached, the batched walk gives libunwind's PC and stack pointer
// at every step, and its registers where it stops.
struct RecursionWalks {
    std::vector<Frame> theirs;
    std::vector<Frame> batched;
    Frame batchedLast;
    /// Steps the batches took.
    std::uint32_t batchedSteps { 0 };
};

RecursionWalks g_recursion;

__attribute__((noinline)) void captureRecursionWalks()
{
    constexpr std::size_t kMostSteps = 256;
    unw_context_t context;
    unw_getcontext(&context);
    unw_cursor_t cursor;
    unw_init_local(&cursor, &context);
    g_recursion = {};
    while (g_recursion.theirs.size() < kMostSteps && unw_step(&cursor) > 0) {
        g_recursion.theirs.push_back({ reg(cursor, UNW_REG_IP), reg(cursor, UNW_REG_SP),
            reg(cursor, UNW_X86_64_RBX), reg(cursor, UNW_X86_64_RBP), reg(cursor, UNW_X86_64_R12),
            reg(cursor, UNW_X86_64_R13), reg(cursor, UNW_X86_64_R14), reg(cursor, UNW_X86_64_R15) });
    }

    EMBDwarfFrame start = frameOf(context);
    static EMBDwarfRuleCache cache;
    cache.invalidate();
    EMBSafeMemoryReader reader;
    // A first walk works the rows out and keeps them.
    EMBDwarfFrame frame = start;
    for (std::size_t i = 0; i < kMostSteps; ++i) {
        if (!EMBDwarfUnwindFrame(testing::lookupLoadedImage, &reader, &frame, &cache) || frame.outermost)
            break;
    }

    // As many steps as libunwind took: in batches as far as the cached rows reach, one by one where they end.
    frame = start;
    std::uint64_t pcs[kMostSteps];
    std::uint64_t sps[kMostSteps];
    auto steps = std::uint32_t(g_recursion.theirs.size());
    std::uint32_t count = 0;
    while (count < steps) {
        std::uint32_t reached
            = EMBDwarfUnwindCachedFrames(cache, &reader, &frame, pcs + count, sps + count, steps - count);
        if (reached == 0) {
            if (!EMBDwarfUnwindFrame(testing::lookupLoadedImage, &reader, &frame, &cache))
                break;
            pcs[count] = frame.context.registers[kEMBDwarfRegisterRIP];
            sps[count] = frame.context.registers[kEMBDwarfRegisterRSP];
            reached = 1;
        } else {
            g_recursion.batchedSteps += reached;
        }
        count += reached;
    }
    for (std::uint32_t i = 0; i < count; ++i)
        g_recursion.batched.push_back({ pcs[i], sps[i] });
    g_recursion.batchedLast = fromContext(frame.context);
}

__attribute__((noinline)) int recurse(int depth)
{
    if (depth == 0) {
        captureRecursionWalks();
        return 0;
    }
    int below = recurse(depth - 1);
    // Keeps the call from becoming a jump.
    asm volatile("" : "+r"(below));
    return below + 1;
}

TEST(EMBDwarfUnwindCachedFrames, WalksARecursionAndItsCallersLikeLibunwind)
{
    constexpr int kDepth = 100;
    EXPECT_EQ(recurse(kDepth), kDepth);
    RecursionWalks walks = g_recursion;
    ASSERT_GT(walks.theirs.size(), std::size_t(kDepth));
    ASSERT_EQ(walks.batched.size(), walks.theirs.size());
    for (std::size_t i = 0; i < walks.theirs.size(); ++i) {
        EXPECT_EQ(walks.batched[i].pc, walks.theirs[i].pc) << "step " << i + 1;
        EXPECT_EQ(walks.batched[i].sp, walks.theirs[i].sp) << "step " << i + 1;
    }
    EXPECT_EQ(walks.batchedLast, walks.theirs.back());
    EXPECT_GT(walks.batchedSteps, std::uint32_t(kDepth)) << "the recursion in batches";
}

}
}
