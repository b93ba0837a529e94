#include "kit/crash/capture/EMBDwarfUnwind.h"

#include "kit/crash/capture/EMBMemoryReader.h"
#include "kit/crash/capture/tests/CfiBuilder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace kit {
namespace {

/// Memory for expressions: a few words at a known address, and a count of every read.
class CountingReader final : public EMBMemoryReader {
public:
    bool readUnknown(std::uint64_t address, void* buffer, std::size_t length) const override
    {
        ++reads;
        auto start = reinterpret_cast<std::uint64_t>(words);
        if (address < start || address + length > start + sizeof words)
            return false;
        std::memcpy(buffer, reinterpret_cast<const void*>(address), length);
        return true;
    }

    std::uint64_t words[4] { 0x1122334455667788, 42, 0, 0 };
    mutable int reads { 0 };
};

// A CIE ("zR", 0x1b) with CFA = rsp + 8 and the return address at CFA - 8, then one FDE at pcBegin.
struct OneFunction {
    OneFunction(std::initializer_list<std::uint8_t> instructions, const char* augmentation = "zR")
    {
        cfi.cie(augmentation, 0x1b, { 0x0c, 0x07, 0x08, 0x90, 0x01 });
        pcBegin = cfi.address() + 0x100000;
        fdeOffset = cfi.fde(pcBegin, 0x100, instructions);
    }

    EMBDwarfCFIRecord parse()
    {
        EMBDwarfCFIRecord record;
        EXPECT_TRUE(EMBDwarfParseCFIFromFDERecordOffset(
            &record, cfi.address(), fdeOffset, EMBDwarfSection { cfi.address(), cfi.end() }));
        return record;
    }

    EMBDwarfState stateAt(std::uint64_t offset, bool* ok = nullptr)
    {
        EMBDwarfCFIRecord record = parse();
        EMBDwarfState state;
        bool computed = EMBDwarfComputeState(&record, pcBegin + offset, &state);
        if (ok)
            *ok = computed;
        else
            EXPECT_TRUE(computed);
        return state;
    }

    testing::CfiBuilder cfi;
    std::uint64_t pcBegin { 0 };
    std::size_t fdeOffset { 0 };
};

TEST(EMBDwarfRecords, ReadsAPCRelativeStartAndTheCIE)
{
    OneFunction function({});
    EMBDwarfCFIRecord record = function.parse();
    EXPECT_EQ(record.fde.pcBegin, function.pcBegin);
    EXPECT_EQ(record.fde.pcRange, 0x100u);
    EXPECT_EQ(record.cie.pointerEncoding, 0x1b);
    EXPECT_EQ(record.cie.dataAlignmentFactor, -8);
    EXPECT_EQ(record.cie.returnAddressRegister, 16u);
    EXPECT_FALSE(record.cie.signalFrame);

    OneFunction signalFrame({}, "zRS");
    EXPECT_TRUE(signalFrame.parse().cie.signalFrame) << "an \"S\" CIE describes a signal frame";
}

TEST(EMBDwarfRecords, RefusesRecordsOutsideTheirSection)
{
    OneFunction function({});
    EMBDwarfCFIRecord record;
    std::uint64_t fde = function.cfi.address() + function.fdeOffset;
    EXPECT_FALSE(EMBDwarfParseCFIFromFDERecord(&record, fde, { fde, function.cfi.end() }))
        << "CIE before the section";
    EXPECT_FALSE(EMBDwarfParseCFIFromFDERecord(&record, fde, { function.cfi.address(), fde + 8 }))
        << "cut FDE";
    EXPECT_FALSE(EMBDwarfParseCIERecord(
        &record.cie, function.cfi.end(), { function.cfi.address(), function.cfi.end() }));
}

TEST(EMBDwarfInstructions, AdvancesAddUpAndARowStartingAtThePCApplies)
{
    // advance_loc1 5; def_cfa_offset 16; advance_loc 3; def_cfa_offset 24
    OneFunction function({ 0x02, 0x05, 0x0e, 0x10, 0x43, 0x0e, 0x18 });
    struct Case {
        std::uint64_t offset;
        std::int64_t cfaOffset;
    };
    for (auto c :
        { Case { 0, 8 }, Case { 4, 8 }, Case { 5, 16 }, Case { 7, 16 }, Case { 8, 24 }, Case { 0xff, 24 } })
        EXPECT_EQ(function.stateAt(c.offset).cfaOffset, c.cfaOffset) << "at " << c.offset;
}

TEST(EMBDwarfInstructions, RunsEveryInstructionTheToolchainEmits)
{
    struct Case {
        const char* name;
        std::initializer_list<std::uint8_t> instructions;
        std::uint64_t offset;
        std::function<void(const EMBDwarfState&)> check;
    };
    Case cases[] {
        { "remember and restore state", { 0x0e, 0x10, 0x83, 0x02, 0x0a, 0x41, 0x0e, 0x08, 0xc3, 0x41, 0x0b },
            2,
            [](const EMBDwarfState& s) {
                EXPECT_EQ(s.cfaOffset, 16);
                EXPECT_EQ(s.rules[3].kind, kEMBDwarfRuleOffset);
                EXPECT_EQ(s.rules[3].value, -16);
            } },
        { "restore brings back the CIE's rule", { 0x90, 0x05, 0x41, 0xd0 }, 1,
            [](const EMBDwarfState& s) { EXPECT_EQ(s.rules[16].value, -8); } },
        { "restore_extended", { 0x83, 0x03, 0x41, 0x06, 0x03 }, 1,
            [](const EMBDwarfState& s) { EXPECT_EQ(s.rules[3].kind, kEMBDwarfRuleNone); } },
        { "offset_extended and same_value", { 0x05, 0x0c, 0x04, 0x08, 0x03 }, 0,
            [](const EMBDwarfState& s) {
                EXPECT_EQ(s.rules[12].value, -32);
                EXPECT_EQ(s.rules[3].kind, kEMBDwarfRuleNone);
            } },
        { "def_cfa_sf and def_cfa_offset_sf", { 0x12, 0x06, 0x7e, 0x13, 0x7d }, 0,
            [](const EMBDwarfState& s) {
                EXPECT_EQ(s.cfaRegister, 6u);
                EXPECT_EQ(s.cfaOffset, 24);
            } },
        { "val_offset and val_offset_sf", { 0x14, 0x03, 0x02, 0x15, 0x0c, 0x7f }, 0,
            [](const EMBDwarfState& s) {
                EXPECT_EQ(s.rules[3].kind, kEMBDwarfRuleValOffset);
                EXPECT_EQ(s.rules[3].value, -16);
                EXPECT_EQ(s.rules[12].value, 8);
            } },
        { "undefined return address", { 0x07, 0x10 }, 0,
            [](const EMBDwarfState& s) { EXPECT_EQ(s.rules[16].kind, kEMBDwarfRuleUndefined); } },
        { "GNU_args_size is skipped", { 0x2e, 0x80, 0x01, 0x0e, 0x20 }, 0,
            [](const EMBDwarfState& s) { EXPECT_EQ(s.cfaOffset, 32); } },
        { "val_expression", { 0x16, 0x06, 0x02, 0x31, 0x22 }, 0,
            [](const EMBDwarfState& s) { EXPECT_EQ(s.rules[6].kind, kEMBDwarfRuleValExpression); } },
        { "advance_loc2 and advance_loc4",
            { 0x03, 0x00, 0x01, 0x0e, 0x10, 0x04, 0x00, 0x00, 0x01, 0x00, 0x0e, 0x18 }, 0x100,
            [](const EMBDwarfState& s) { EXPECT_EQ(s.cfaOffset, 16); } },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        OneFunction function(c.instructions);
        c.check(function.stateAt(c.offset));
    }
}

TEST(EMBDwarfInstructions, SetLocIsAnAddressRelativeToTheStart)
{
    testing::CfiBuilder cfi;
    cfi.cie("zR", 0x00, { 0x0c, 0x07, 0x08 });
    std::uint64_t pcBegin = 0x400000;
    std::uint64_t target = pcBegin + 0x20;
    std::initializer_list<std::uint8_t> instructions { 0x01, std::uint8_t(target), std::uint8_t(target >> 8),
        std::uint8_t(target >> 16), 0, 0, 0, 0, 0, 0x0e, 0x30 };
    // Absolute encoding: PC begin is written as it stands, so build the FDE by hand after the CIE.
    auto& bytes = cfi.data();
    std::size_t start = bytes.size();
    std::vector<std::uint8_t> body { 0, 0, 0, 0 };
    std::uint32_t back = std::uint32_t(start + 4);
    body = { std::uint8_t(back), std::uint8_t(back >> 8), 0, 0 };
    for (int i = 0; i < 8; ++i)
        body.push_back(std::uint8_t(pcBegin >> (8 * i)));
    for (int i = 0; i < 8; ++i)
        body.push_back(i == 0 ? 0x40 : 0);
    body.push_back(0);
    body.insert(body.end(), instructions);
    std::uint32_t length = std::uint32_t(body.size());
    bytes.insert(bytes.end(), { std::uint8_t(length), 0, 0, 0 });
    bytes.insert(bytes.end(), body.begin(), body.end());

    EMBDwarfCFIRecord record;
    ASSERT_TRUE(EMBDwarfParseCFIFromFDERecord(&record, cfi.address() + start, { cfi.address(), cfi.end() }));
    EMBDwarfState state;
    ASSERT_TRUE(EMBDwarfComputeState(&record, pcBegin + 0x1f, &state));
    EXPECT_EQ(state.cfaOffset, 8);
    ASSERT_TRUE(EMBDwarfComputeState(&record, pcBegin + 0x20, &state));
    EXPECT_EQ(state.cfaOffset, 0x30);
}

TEST(EMBDwarfInstructions, FailsTheFrameOnWhatItDoesNotKnow)
{
    struct Case {
        const char* name;
        std::initializer_list<std::uint8_t> instructions;
    };
    Case cases[] {
        { "an unknown opcode", { 0x1d } },
        { "a register above 16", { 0x05, 0x11, 0x01 } },
        { "restore_state with nothing remembered", { 0x0b } },
        { "remembering too deep", { 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a, 0x0a } },
        { "an expression running past the end", { 0x0f, 0x09, 0x77 } },
        { "a LEB128 longer than 64 bits",
            { 0x0e, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80 } },
        { "DW_CFA_register to a register above 16", { 0x09, 0x03, 0x40 } },
    };
    for (auto& c : cases) {
        OneFunction function(c.instructions);
        bool ok = true;
        function.stateAt(0x10, &ok);
        EXPECT_FALSE(ok) << c.name;
    }
}

TEST(EMBDwarfParsing, ReadsLEB128InSixtyFourBitsAndEncodedAddresses)
{
    std::uint8_t bytes[] { 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x01, 0x80, 0x80, 0x80, 0x80,
        0x80, 0x80, 0x80, 0x80, 0x80, 0x7f };
    EMBDwarfCursor cursor { reinterpret_cast<std::uint64_t>(bytes),
        reinterpret_cast<std::uint64_t>(bytes) + 20 };
    EXPECT_EQ(EMBParseULEB128AndAdvance(&cursor), 1ull << 63);
    EXPECT_EQ(EMBParseLEB128AndAdvance(&cursor), INT64_MIN);
    EXPECT_TRUE(cursor.valid);
    EXPECT_EQ(EMBParseUint8AndAdvance(&cursor), 0);
    EXPECT_FALSE(cursor.valid) << "past the end";

    std::uint8_t encoded[] { 0xfe, 0xff, 0xf0, 0xff, 0xff, 0xff };
    auto at = reinterpret_cast<std::uint64_t>(encoded);
    struct Case {
        std::uint8_t encoding;
        std::uint64_t expected;
    };
    for (auto c :
        { Case { 0x02, 0xfffe }, Case { 0x0a, std::uint64_t(-2) }, Case { 0x0b, 0xfffffffffff0fffe },
            Case { 0x1a, at - 2 }, Case { 0xff, 0 }, Case { 0x05, kEMBDwarfInvalidAddress },
            Case { 0x3b, kEMBDwarfInvalidAddress }, Case { 0x5b, kEMBDwarfInvalidAddress } }) {
        EMBDwarfCursor from { at, at + sizeof encoded };
        EXPECT_EQ(EMBParseAddressWithEncodingAndAdvance(&from, c.encoding), c.expected)
            << std::hex << "encoding 0x" << int(c.encoding);
    }
}

TEST(EMBDwarfExpression, EvaluatesTheOperatorsOfPltAndSignalFrames)
{
    CountingReader memory;
    EMBThreadContext context;
    context.registers[7] = 0x1000;
    context.registers[16] = 0x40100c;
    auto wordAddress = reinterpret_cast<std::uint64_t>(memory.words);
    std::vector<std::uint8_t> derefAt { 0x0e };
    for (int i = 0; i < 8; ++i)
        derefAt.push_back(std::uint8_t(wordAddress >> (8 * i)));
    derefAt.push_back(0x06);
    std::vector<std::uint8_t> derefByteAt = derefAt;
    derefByteAt.back() = 0x94;
    derefByteAt.push_back(1);

    struct Case {
        const char* name;
        std::vector<std::uint8_t> operations;
        std::uint64_t expected;
    };
    Case cases[] {
        { "plt: breg7 8; breg16 0; lit15; and; lit11; ge; lit3; shl; plus",
            { 0x77, 0x08, 0x80, 0x00, 0x3f, 0x1a, 0x3b, 0x2a, 0x33, 0x24, 0x22 }, 0x1010 },
        { "initial value plus_uconst", { 0x23, 0x10 }, 0x510 },
        { "deref", derefAt, 0x1122334455667788 },
        { "deref_size 1", derefByteAt, 0x88 },
        { "bra taken skips", { 0x31, 0x28, 0x01, 0x00, 0x35 }, 0x500 },
        { "bra not taken", { 0x30, 0x28, 0x01, 0x00, 0x35 }, 5 },
        { "skip", { 0x2f, 0x01, 0x00, 0x35, 0x37 }, 7 },
        { "minus, mul, div, mod", { 0x3a, 0x33, 0x1c, 0x32, 0x1e, 0x33, 0x1b, 0x33, 0x1d }, 1 },
        { "neg, abs, not, or, xor", { 0x35, 0x1f, 0x19, 0x20, 0x20, 0x32, 0x21, 0x31, 0x27 }, 6 },
        { "consts and shra", { 0x11, 0x70, 0x32, 0x26 }, std::uint64_t(-4) },
        { "const1s, const2u, const4s, shr",
            { 0x09, 0xff, 0x0a, 0x00, 0x01, 0x22, 0x0d, 0x02, 0, 0, 0, 0x22, 0x31, 0x25 }, 0x80 },
        { "dup, over, swap, drop, rot, pick",
            { 0x31, 0x32, 0x33, 0x17, 0x15, 0x02, 0x16, 0x13, 0x14, 0x12, 0x22 }, 2 },
        { "eq, ne, lt, gt, le",
            { 0x31, 0x31, 0x29, 0x31, 0x32, 0x2e, 0x22, 0x31, 0x32, 0x2d, 0x22, 0x32, 0x31, 0x2b, 0x22, 0x31,
                0x31, 0x2c, 0x22 },
            5 },
        { "bregx", { 0x92, 0x07, 0x7f }, 0xfff },
    };
    for (auto& c : cases) {
        std::vector<std::uint8_t> expression { std::uint8_t(c.operations.size()) };
        expression.insert(expression.end(), c.operations.begin(), c.operations.end());
        std::uint64_t result = 0;
        ASSERT_TRUE(EMBDwarfEvalulateExpression(
            reinterpret_cast<std::uint64_t>(expression.data()), &context, &memory, 0x500, &result))
            << c.name;
        EXPECT_EQ(result, c.expected) << c.name;
    }
}

TEST(EMBDwarfExpression, FailsOnABadStackAnUnknownOperatorOrAReadThatFails)
{
    CountingReader memory;
    EMBThreadContext context;
    struct Case {
        const char* name;
        std::vector<std::uint8_t> operations;
    };
    Case cases[] {
        { "pop from an empty stack, then deref", { 0x13, 0x13, 0x06 } },
        { "unknown operator", { 0x96, 0xe0 } },
        { "division by zero", { 0x30, 0x1b } },
        { "register above 16", { 0x92, 0x11, 0x00 } },
        { "deref_size 3", { 0x94, 0x03 } },
        { "jump outside", { 0x2f, 0x40, 0x00 } },
        { "a loop without end", { 0x2f, 0xfd, 0xff } },
        { "operand past the end", { 0x0e, 0x01 } },
    };
    for (auto& c : cases) {
        std::vector<std::uint8_t> expression { std::uint8_t(c.operations.size()) };
        expression.insert(expression.end(), c.operations.begin(), c.operations.end());
        std::uint64_t result = 0;
        memory.reads = 0;
        EXPECT_FALSE(EMBDwarfEvalulateExpression(
            reinterpret_cast<std::uint64_t>(expression.data()), &context, &memory, 0, &result))
            << c.name;
        if (std::string(c.name).starts_with("pop")) {
            EXPECT_EQ(memory.reads, 0) << "fails before reading memory";
        }
    }
    std::uint8_t empty[] { 0x00 };
    std::uint64_t result = 0;
    EXPECT_FALSE(
        EMBDwarfEvalulateExpression(reinterpret_cast<std::uint64_t>(empty), &context, &memory, 0, &result));

    EMBDwarfExpressionStack stack;
    EMBDwarfExpressionStackInit(&stack);
    for (int i = 0; i < EMBDwarfExpressionStack::kCapacity; ++i)
        EMBDwarfExpressionStackPush(&stack, std::uint64_t(i));
    EXPECT_TRUE(EMBDwarfExpressionStackIsValid(&stack));
    EMBDwarfExpressionStackPush(&stack, 1);
    EXPECT_FALSE(EMBDwarfExpressionStackIsValid(&stack)) << "a push on a full stack";
}

}
}

namespace kit {
namespace {

TEST(EMBDwarfUnwind, ARecursiveCallerKeepsItsPCButTheStackMustMove)
{
    OneFunction function({});
    EMBDwarfCFIRecord record = function.parse();
    CountingReader memory;
    EMBThreadContext context;
    context.registers[kEMBDwarfRegisterRIP] = function.pcBegin;
    // CFA = rsp + 8, the return address at CFA - 8: point rsp at a word holding this very PC.
    memory.words[0] = function.pcBegin;
    context.registers[kEMBDwarfRegisterRSP] = reinterpret_cast<std::uint64_t>(memory.words);
    EMBDwarfFrame caller;
    ASSERT_TRUE(EMBDwarfUnwindComputeRegisters(&record, &context, function.pcBegin, &memory, &caller));
    EXPECT_EQ(caller.context.registers[kEMBDwarfRegisterRIP], function.pcBegin);
    EXPECT_EQ(caller.context.registers[kEMBDwarfRegisterRSP], context.registers[kEMBDwarfRegisterRSP] + 8);
    EXPECT_TRUE(caller.pcIsReturnAddress);

    OneFunction stuck({ 0x0e, 0x00 });
    record = stuck.parse();
    memory.words[0] = stuck.pcBegin + 4;
    context.registers[kEMBDwarfRegisterRSP] = reinterpret_cast<std::uint64_t>(&memory.words[1]);
    EXPECT_FALSE(EMBDwarfUnwindComputeRegisters(&record, &context, stuck.pcBegin, &memory, &caller))
        << "a CFA equal to the stack pointer would walk in place";
}

}
}
