#include "kit/crash/capture/EMBUnwindCursor.h"
#include "kit/crash/capture/EMBBinaryImage.h"
#include "kit/crash/capture/EMBThreadState.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <vector>

namespace kit {
namespace {

// Addresses in no image: the walk can only follow the frame-pointer chain through them.
constexpr std::uint64_t kNoImage { 0x10000 };

std::vector<std::uint64_t> walk(const EMBThreadState& state)
{
    EMBUnwindCursor cursor;
    std::vector<std::uint64_t> pcs;
    if (!EMBUnwindCursorInit(&cursor, &state))
        return pcs;
    while (EMBUnwindNextFrame(&cursor))
        pcs.push_back(EMBUnwindCursorPC(&cursor));
    return pcs;
}

class EMBUnwindCursorTest : public ::testing::Test {
protected:
    void SetUp() override { EMBBinaryImageInit((m_folder.path() / "images.embrecord").c_str()); }
    void TearDown() override { EMBBinaryImageDeinit(); }

    // A stack of frame records chained from the lowest: {caller's frame pointer, return address}.
    EMBThreadState chain(std::size_t frames)
    {
        m_stack.assign(2 * frames + 8, 0);
        for (std::size_t i = 0; i < frames; ++i) {
            std::uint64_t* record = &m_stack[4 + 2 * i];
            record[0] = i + 1 < frames ? reinterpret_cast<std::uint64_t>(record + 2) : 0;
            record[1] = kNoImage + 16 * (i + 1);
        }
        EMBThreadState state;
        state.registers[kEMBRegisterRIP] = kNoImage;
        state.registers[kEMBRegisterRSP] = reinterpret_cast<std::uint64_t>(&m_stack[0]);
        state.registers[kEMBRegisterRBP] = reinterpret_cast<std::uint64_t>(&m_stack[4]);
        return state;
    }

    ::testing::TemporaryDirectory m_folder;
    std::vector<std::uint64_t> m_stack;
};

TEST_F(EMBUnwindCursorTest, FollowsTheFramePointerChainOutsideEveryImage)
{
    auto pcs = walk(chain(3));
    EXPECT_EQ(pcs, (std::vector<std::uint64_t> { kNoImage, kNoImage + 16, kNoImage + 32, kNoImage + 48 }));
}

TEST_F(EMBUnwindCursorTest, StopsAtFiveHundredAndTwelveFrames)
{
    EXPECT_EQ(walk(chain(600)).size(), kEMBUnwindMaxFrames);
}

TEST_F(EMBUnwindCursorTest, AZeroFramePointerAfterTheFirstFrameGivesOneFrame)
{
    EMBThreadState state = chain(3);
    state.registers[kEMBRegisterRBP] = 0;
    EXPECT_EQ(walk(state), std::vector<std::uint64_t> { kNoImage });
}

TEST_F(EMBUnwindCursorTest, InvalidPCOrStackPointerGivesNoFrame)
{
    for (auto reg : { kEMBRegisterRIP, kEMBRegisterRSP }) {
        EMBThreadState state = chain(3);
        state.registers[reg] = 4095;
        EXPECT_TRUE(walk(state).empty()) << kEMBThreadRegisterNames[reg];
    }
}

TEST_F(EMBUnwindCursorTest, AChainThatTurnsBackEnds)
{
    EMBThreadState state = chain(3);
    m_stack[4 + 2] = reinterpret_cast<std::uint64_t>(&m_stack[4]);
    EXPECT_EQ(walk(state), (std::vector<std::uint64_t> { kNoImage, kNoImage + 16 }));
}

__attribute__((noinline)) std::uint64_t returnAddressInThisProgram()
{
    return reinterpret_cast<std::uint64_t>(__builtin_return_address(0));
}

TEST_F(EMBUnwindCursorTest, ALeafWithoutItsFrameYieldsItsCallerByStackScan)
{
    // A leaf stopped before pushing its frame pointer: the return address sits just above the stack
    // pointer, under words that point nowhere, and the frame pointer is still its caller's.
    std::uint64_t caller = returnAddressInThisProgram();
    EMBThreadState state = chain(2);
    m_stack[0] = 0x1234;
    m_stack[1] = kNoImage + 8;
    m_stack[2] = caller;
    auto pcs = walk(state);
    ASSERT_GE(pcs.size(), 2u);
    EXPECT_EQ(pcs[0], kNoImage);
    EXPECT_EQ(pcs[1], caller);
}

__attribute__((noinline)) int justCalled(int value)
{
    return value * 3;
}

TEST_F(EMBUnwindCursorTest, TheFirstFramesPCIsWhereTheThreadStoppedNotAReturnAddress)
{
    // Stopped on the first instruction of a function, just called: lowered by one, the PC would fall into
    // whatever lies before the function, whose rules do not hold here.
    std::uint64_t caller = returnAddressInThisProgram();
    m_stack.assign(8, 0);
    m_stack[0] = caller;
    EMBThreadState state;
    state.registers[kEMBRegisterRIP] = reinterpret_cast<std::uint64_t>(&justCalled);
    state.registers[kEMBRegisterRSP] = reinterpret_cast<std::uint64_t>(&m_stack[0]);
    auto pcs = walk(state);
    ASSERT_GE(pcs.size(), 2u);
    EXPECT_EQ(pcs[0], state.pc());
    EXPECT_EQ(pcs[1], caller);
}

}
}
