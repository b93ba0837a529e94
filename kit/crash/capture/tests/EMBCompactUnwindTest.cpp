#include "kit/crash/capture/EMBCompactUnwind.h"
#include "kit/core/EMBMachO.h"
#include "kit/crash/capture/EMBMemoryReader.h"
#include "testing/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <sstream>

namespace kit {
namespace {

// One function of the table, as llvm-objdump lists it: offsets from the image's header.
struct Listed {
    std::uint64_t start { 0 };
    std::uint64_t end { 0 };
    std::uint32_t encoding { 0 };
};

std::string run(std::vector<std::string> arguments)
{
    ::testing::ChildProcess tool(std::move(arguments));
    return tool.readAll(std::chrono::seconds(20));
}

// The second-level entries of `--unwind-info`, each ending where the next begins or, for a page's last, at
// the next top-level index's function offset.
std::vector<Listed> listedFunctions(const std::string& output)
{
    std::vector<std::uint64_t> topLevel;
    std::vector<Listed> functions;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        unsigned long start = 0;
        unsigned long page = 0;
        unsigned index = 0;
        unsigned encodingIndex = 0;
        unsigned long encoding = 0;
        if (std::sscanf(line.c_str(), " [%u]: function offset=0x%lx, 2nd level page offset=0x%lx", &index,
                &start, &page)
            == 3) {
            topLevel.push_back(start);
        } else if (std::sscanf(line.c_str(), " [%u]: function offset=0x%lx, encoding[%u]=0x%lx", &index,
                       &start, &encodingIndex, &encoding)
            == 4) {
            if (!functions.empty())
                functions.back().end = start;
            functions.push_back({ start, 0, std::uint32_t(encoding) });
        }
    }
    if (!functions.empty() && !topLevel.empty())
        functions.back().end = topLevel.back();
    return functions;
}

// The registers a function pushes in its prologue, last pushed first: the order they lie in from the
// stack pointer up, as compact numbers (1 rbx, 2 r12 … 5 r15, 6 rbp).
std::vector<std::uint32_t> pushedRegisters(const std::string& disassembly, const std::string& function)
{
    static const std::map<std::string, std::uint32_t> numbers { { "rbx", 1 }, { "r12", 2 }, { "r13", 3 },
        { "r14", 4 }, { "r15", 5 }, { "rbp", 6 } };
    std::vector<std::uint32_t> pushed;
    std::istringstream lines(disassembly.substr(disassembly.find("\n_" + function + ":\n") + 1));
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        auto at = line.find("pushq\t%");
        if (at == std::string::npos)
            break;
        pushed.insert(pushed.begin(), numbers.at(line.substr(at + 7, 3)));
    }
    return pushed;
}

class EMBCompactUnwindTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto file = EMBMachOFile::initWithPath(CRASH_CAPTURE_COMPACT_FIXTURE);
        ASSERT_TRUE(file);
        m_image.assign(file->bytes().begin(), file->bytes().end());
        EMBMachOSlice slice { m_image, 0, 0 };
        auto unwindInfo = EMBMachOSliceInitSectionByName(slice, "__TEXT", "__unwind_info");
        auto ehFrame = EMBMachOSliceInitSectionByName(slice, "__TEXT", "__eh_frame");
        ASSERT_TRUE(unwindInfo && ehFrame);
        m_unwindInfo = unwindInfo->offset;
        m_ehFrame = { ehFrame->offset, ehFrame->offset + ehFrame->size };
        m_listing = run({ LLVM_OBJDUMP, "--macho", "--unwind-info", CRASH_CAPTURE_COMPACT_FIXTURE });
        m_functions = listedFunctions(m_listing);
        ASSERT_GE(m_functions.size(), 5u) << m_listing;
        ASSERT_TRUE(init());
    }

    std::uint64_t base() const { return reinterpret_cast<std::uint64_t>(m_image.data()); }

    bool init()
    {
        return EMBCompactUnwindInit(&m_context, &m_reader, base() + m_unwindInfo, base() + m_ehFrame.start,
            base() + m_ehFrame.end, base());
    }

    // The listed function whose encoding has `mode`.
    Listed withMode(std::uint32_t mode) const
    {
        for (const Listed& function : m_functions) {
            if ((function.encoding & kEMBCompactUnwindModeMask) == mode)
                return function;
        }
        return {};
    }

    // Turns the first page into a regular one, appended to the image: same functions, same encodings.
    void rewriteAsRegularPage()
    {
        std::uint64_t pageOffset = m_image.size() - m_unwindInfo;
        auto put32 = [&](std::uint32_t value) {
            std::uint8_t bytes[4];
            std::memcpy(bytes, &value, 4);
            m_image.insert(m_image.end(), bytes, bytes + 4);
        };
        put32(2);
        put32(8 | (std::uint32_t(m_functions.size()) << 16));
        for (const Listed& function : m_functions) {
            put32(std::uint32_t(function.start));
            put32(function.encoding);
        }
        std::uint32_t indexOffset = 0;
        std::memcpy(&indexOffset, m_image.data() + m_unwindInfo + 20, 4);
        auto page32 = std::uint32_t(pageOffset);
        std::memcpy(m_image.data() + m_unwindInfo + indexOffset + 4, &page32, 4);
        ASSERT_TRUE(init());
    }

    std::vector<std::uint8_t> m_image;
    std::uint64_t m_unwindInfo { 0 };
    EMBDwarfSection m_ehFrame;
    std::string m_listing;
    std::vector<Listed> m_functions;
    EMBSafeMemoryReader m_reader;
    EMBCompactUnwindContext m_context;
};

TEST_F(EMBCompactUnwindTest, FindsEachFunctionsEntryAsTheToolListsIt)
{
    for (bool regular : { false, true }) {
        if (regular)
            rewriteAsRegularPage();
        for (const Listed& function : m_functions) {
            for (std::uint64_t pc : { function.start, function.end - 1 }) {
                EMBCompactUnwindResult result;
                ASSERT_TRUE(EMBCompactUnwindLookup(&m_context, base() + pc, &result))
                    << std::hex << pc << (regular ? " regular" : " compressed");
                EXPECT_EQ(result.encoding, function.encoding) << std::hex << pc;
                EXPECT_EQ(result.functionStart, base() + function.start) << std::hex << pc;
                EXPECT_EQ(result.functionEnd, base() + function.end) << std::hex << pc;
            }
        }
        EMBCompactUnwindResult result;
        EXPECT_FALSE(EMBCompactUnwindLookup(&m_context, base() + m_functions.front().start - 1, &result));
        EXPECT_FALSE(EMBCompactUnwindLookup(&m_context, base() + m_functions.back().end, &result));
    }
}

TEST_F(EMBCompactUnwindTest, DecodesTheSavedRegistersInTheOrderThePrologueLeavesThem)
{
    std::string disassembly
        = run({ LLVM_OBJDUMP, "--macho", "-d", "--no-show-raw-insn", CRASH_CAPTURE_COMPACT_FIXTURE });
    int checked = 0;
    for (const char* name : { "savesRegisters", "largeStack" }) {
        auto at = disassembly.find("\n_" + std::string(name) + ":\n");
        ASSERT_NE(at, std::string::npos) << name;
        std::uint64_t address
            = std::stoull(disassembly.substr(disassembly.find('\n', at + 1) + 1), nullptr, 16);
        for (const Listed& function : m_functions) {
            if (function.start != address - 0x100000000)
                continue;
            std::uint32_t registers[6] {};
            std::uint32_t count = 0;
            ASSERT_TRUE(EMBCompactUnwindDecodeRegisters(function.encoding, registers, &count));
            EXPECT_EQ(
                std::vector<std::uint32_t>(registers, registers + count), pushedRegisters(disassembly, name))
                << name;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 2);
}

// A stack for one frame: the saved registers and the return address where the entry says they are.
struct FakeStack {
    std::vector<std::uint64_t> words;
    EMBDwarfFrame frame;

    FakeStack(std::uint64_t pc, std::size_t bytes, std::uint64_t returnAddress)
        : words(bytes / 8 + 4, 0x5a5a5a5a)
    {
        words[bytes / 8 - 1] = returnAddress;
        frame.context.registers[kEMBDwarfRegisterRIP] = pc;
        frame.context.registers[kEMBDwarfRegisterRSP] = reinterpret_cast<std::uint64_t>(words.data());
        frame.context.registers[kEMBDwarfRegisterRBP] = 0xbbbb;
    }

    std::uint64_t address(std::size_t bytes) const
    {
        return reinterpret_cast<std::uint64_t>(words.data()) + bytes;
    }
};

TEST_F(EMBCompactUnwindTest, UnwindsAFramelessFunctionByItsStackSize)
{
    constexpr std::uint64_t kReturn { 0x7000123 };
    struct Case {
        std::uint32_t mode;
        std::uint64_t frameBytes; // from the stack pointer to just above the return address
    };
    // savesRegisters: three pushes, 16 bytes of locals; largeStack: one push and 0x2000 bytes.
    for (Case c : { Case { kEMBCompactUnwindModeStackImmediate, 48 },
             Case { kEMBCompactUnwindModeStackIndirect, 0x2000 + 16 } }) {
        Listed function = withMode(c.mode);
        ASSERT_NE(function.encoding, 0u) << std::hex << c.mode;
        FakeStack stack(base() + function.start + 12, c.frameBytes, kReturn);
        ASSERT_TRUE(EMBCompactUnwindLookupAndCompute(&m_context, &stack.frame)) << std::hex << c.mode;
        EXPECT_EQ(stack.frame.context.registers[kEMBDwarfRegisterRIP], kReturn);
        EXPECT_EQ(stack.frame.context.registers[kEMBDwarfRegisterRSP], stack.address(c.frameBytes));
        EXPECT_EQ(stack.frame.context.registers[kEMBDwarfRegisterRBP], 0xbbbbu) << "no rbp saved here";
        EXPECT_TRUE(stack.frame.pcIsReturnAddress);
    }
}

TEST_F(EMBCompactUnwindTest, RestoresRbpOfAFramelessFunctionThatSavedIt)
{
    // Frameless, 32 bytes, two registers saved: rbx then rbp from the lowest address.
    std::uint32_t encoding = kEMBCompactUnwindModeStackImmediate | (4u << 16) | (2u << 10);
    std::uint32_t registers[6] {};
    std::uint32_t count = 0;
    for (std::uint32_t permutation = 0; permutation < 30; ++permutation) {
        ASSERT_TRUE(EMBCompactUnwindDecodeRegisters(encoding | permutation, registers, &count));
        if (registers[0] == 1 && registers[1] == 6) {
            encoding |= permutation;
            break;
        }
    }
    ASSERT_EQ(registers[1], 6u);
    FakeStack stack(base() + m_functions[0].start, 32, 0x7000456);
    stack.words[1] = 0x1111;
    stack.words[2] = 0x6666;
    stack.frame.context.registers[3] = 0x3333;
    EMBCompactUnwindResult result { encoding, base() + m_functions[0].start, base() + m_functions[0].end };
    ASSERT_TRUE(EMBCompactUnwindComputeRegisters(&m_context, &result, &stack.frame));
    EXPECT_EQ(stack.frame.context.registers[kEMBDwarfRegisterRBP], 0x6666u);
    EXPECT_EQ(stack.frame.context.registers[3], 0x3333u) << "rbx is not restored";
    EXPECT_EQ(stack.frame.context.registers[kEMBDwarfRegisterRIP], 0x7000456u);
}

TEST_F(EMBCompactUnwindTest, FollowsTheFramePointerAndHandsDwarfEntriesToTheFDE)
{
    constexpr std::uint64_t kReturn { 0x7000789 };
    // A framed function past its prologue: rbp points at the saved rbp, the return address above it.
    Listed framed = withMode(kEMBCompactUnwindModeFramePointer);
    FakeStack stack(base() + framed.start + 4, 64, 0);
    stack.words[4] = stack.address(56);
    stack.words[5] = kReturn;
    stack.frame.context.registers[kEMBDwarfRegisterRBP] = stack.address(32);
    ASSERT_TRUE(EMBCompactUnwindLookupAndCompute(&m_context, &stack.frame));
    EXPECT_EQ(stack.frame.context.registers[kEMBDwarfRegisterRIP], kReturn);
    EXPECT_EQ(stack.frame.context.registers[kEMBDwarfRegisterRBP], stack.address(56));
    EXPECT_EQ(stack.frame.context.registers[kEMBDwarfRegisterRSP], stack.address(48));

    // A leaf left to DWARF, stopped after its first instruction: its CFA is rsp + 8.
    Listed leaf = withMode(kEMBCompactUnwindModeDwarf);
    FakeStack leafStack(base() + leaf.start + 4, 8, kReturn);
    ASSERT_TRUE(EMBCompactUnwindLookupAndCompute(&m_context, &leafStack.frame));
    EXPECT_EQ(leafStack.frame.context.registers[kEMBDwarfRegisterRIP], kReturn);
    EXPECT_EQ(leafStack.frame.context.registers[kEMBDwarfRegisterRSP], leafStack.address(8));
}

TEST_F(EMBCompactUnwindTest, RefusesWhatItCannotRead)
{
    EMBCompactUnwindContext context;
    EXPECT_FALSE(EMBCompactUnwindInit(&context, &m_reader, 0, 0, 0, base()));
    EXPECT_FALSE(EMBCompactUnwindInit(&context, &m_reader, 4096, 0, 0, base())) << "unreadable";
    std::uint32_t version = 2;
    std::memcpy(m_image.data() + m_unwindInfo, &version, 4);
    EXPECT_FALSE(init()) << "version 2";
    std::uint32_t registers[6];
    std::uint32_t count = 0;
    EXPECT_FALSE(
        EMBCompactUnwindDecodeRegisters(kEMBCompactUnwindModeStackImmediate | (7u << 10), registers, &count));
}

}
}
