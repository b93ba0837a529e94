#include "kit/crash/EMBDemangleOperation.h"

#include "testing/ChildProcess.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace kit {
namespace {

// What c++filt makes of each of `names` (plain identifiers), in order.
std::vector<std::string> cxxfilt(const std::vector<std::string>& names)
{
    std::string command = "c++filt";
    for (const auto& name : names)
        command += " " + name;
    std::vector<std::string> readable;
    std::istringstream output(::testing::commandOutput(command));
    for (std::string line; std::getline(output, line);)
        readable.push_back(line);
    return readable;
}

TEST(EMBDemangleOperation, ReadsCppNamesAsCxxfiltDoes)
{
    const std::vector<std::string> names { "_Z3foov", "_ZN3kit5Ember5startEv", "_ZL21crashInStaticFunctionv",
        "_ZN12_GLOBAL__N_13barEPKci", "_ZNSt6vectorIiSaIiEE9push_backEOi", "_ZZ4mainENKUlvE_clEv",
        "_ZNKSt8functionIFvvEEclEv",
        "_ZN3kit9EMBReport14setObjectValueERKN8platform10foundation5ValueERKNSt7__"
        "cxx1112basic_stringIcSt11char_traitsIcESaIcEEE",
        "_Z3fooi.constprop.0" };
    auto oracle = cxxfilt(names);
    ASSERT_EQ(oracle.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(EMBDemangleOperation::demangleSymbol(names[i].c_str()), oracle[i]) << names[i];
}

// A C++ block invocation carries the function's name with one more underscore; the block's suffix stays.
TEST(EMBDemangleOperation, ReadsABlockInvocationAsItsFunctionFollowedByTheBlock)
{
    auto oracle = cxxfilt({ "_Z3foov", "_ZN3kit5Ember5startEv" });
    ASSERT_EQ(oracle.size(), 2u);
    EXPECT_EQ(EMBDemangleOperation::demangleSymbol("__Z3foov_block_invoke_2"), oracle[0] + "_block_invoke_2");
    EXPECT_EQ(EMBDemangleOperation::demangleSymbol("__ZN3kit5Ember5startEv_block_invoke"),
        oracle[1] + "_block_invoke");
}

TEST(EMBDemangleOperation, LeavesEveryOtherNameAsItIs)
{
    for (const char* name : { "main", "symbolicate_trap_at_entry", "_T0So5ValueV", "_Z", "_Znotmangled",
             "__Z_block_invoke", "__Zx_block_invoke", "__Z3foov", "" })
        EXPECT_EQ(EMBDemangleOperation::demangleSymbol(name), std::nullopt) << name;
    EXPECT_EQ(EMBDemangleOperation::demangleSymbol(nullptr), std::nullopt);

    auto threads = std::make_shared<EMBThreadArray>(EMBThreadArray {
        { EMBStackFrame::stackFrameWithSymbol("_T0So5ValueV"), EMBStackFrame::stackFrameWithSymbol("_Z3foov"),
            EMBStackFrame::stackFrameWithAddress(0x401000) },
        { EMBStackFrame::stackFrameWithSymbol("__Z3foov_block_invoke") } });
    EMBDemangleOperation(threads).start();
    EXPECT_EQ((*threads)[0][0].symbol, "_T0So5ValueV");
    EXPECT_EQ((*threads)[0][1].symbol, "foo()");
    EXPECT_EQ((*threads)[0][2].symbol, std::nullopt);
    EXPECT_EQ((*threads)[1][0].symbol, "foo()_block_invoke");
}

}
}
