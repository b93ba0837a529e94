#include "kit/crash/capture/EMBException.h"

#include "kit/crash/capture/EMBDemangle.h"
#include "kit/crash/capture/tests/CaptureChild.h"
#include "platform/foundation/Exception.h"
#include "testing/AllocationTrap.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace kit {
namespace {

using namespace std::chrono_literals;
using testing::CaptureScenarioRegistration;
using testing::readRecords;
using testing::startCaptureChild;

// The child's side. The program's own terminate handler, installed before capture, runs after the exception
// is recorded: from its abort on, the allocation trap is armed, so the SIGABRT record is written heap-free.
[[noreturn]] void armAndAbort()
{
    ::testing::AllocationTrap::arm();
    std::abort();
}

void installArmingHandler()
{
    std::set_terminate(armAndAbort);
}

template<typename Thrown>
__attribute__((noinline)) void throwUncaught(Thrown thrown)
{
    throw thrown;
}

const CaptureScenarioRegistration throwInt("throw-int", [] { throwUncaught(42); }, installArmingHandler);
const CaptureScenarioRegistration throwError(
    "throw-runtime-error", [] { throwUncaught(std::runtime_error("ledger out of balance")); },
    installArmingHandler);
const CaptureScenarioRegistration throwText(
    "throw-c-string", [] { throwUncaught<const char*>("no \"invoice\" here\n"); }, installArmingHandler);
const CaptureScenarioRegistration throwString(
    "throw-string", [] { throwUncaught(std::string("a standard string")); }, installArmingHandler);
const CaptureScenarioRegistration throwNamed(
    "throw-named", [] { EMBExceptionRaiseTestObjCException(); }, installArmingHandler);

const CaptureScenarioRegistration customExceptions("custom-exceptions", [] {
    for (int index = 1; index <= 20; ++index) {
        std::string reason = "custom " + std::to_string(index);
        EMBExceptionRecord(EMBExceptionType::Custom, "exception", reason.c_str(), {}, false);
    }
    EMBExceptionRecord(EMBExceptionType::Javascript, "exception", nullptr, {}, false);
    testing::say("went on");
    std::exit(0);
});

// The parent's side.

std::string fromHex(const nlohmann::json& hex)
{
    std::string text;
    std::string digits = hex.get<std::string>();
    for (std::size_t at = 0; at + 1 < digits.size(); at += 2)
        text += char(std::stoi(digits.substr(at, 2), nullptr, 16));
    return text;
}

class EMBExceptionTest : public ::testing::Test {
protected:
    std::filesystem::path file(const char* name) const { return m_folder.path() / name; }

    ::testing::TemporaryDirectory m_folder;
};

TEST_F(EMBExceptionTest, AnUncaughtExceptionIsRecordedThenItsAbort)
{
    struct Case {
        const char* scenario;
        const char* type;
        const char* name;
        const char* reason;
    };
    const Case cases[] {
        { "throw-int", "c++", "int", "" },
        { "throw-runtime-error", "c++", "std::runtime_error", "ledger out of balance" },
        { "throw-c-string", "c++", "char const*", "no \"invoice\" here\n" },
        { "throw-string", "c++", "std::__cxx11::basic_string<char, std::char_traits<char>, std::allocator<char> >",
            "a standard string" },
        { "throw-named", "objective-c", "EmberTestException",
            "This is an Objective-C exception using for testing." },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scenario);
        std::filesystem::remove(file("exception.embrecord"));
        std::filesystem::remove(file("signal.embrecord"));
        auto child = startCaptureChild(c.scenario, m_folder.path());
        EXPECT_EQ(child->deathSignal(10s), SIGABRT);

        auto exceptions = readRecords(file("exception.embrecord"));
        ASSERT_FALSE(exceptions.empty());
        ASSERT_TRUE(exceptions.front().contains("exception"));
        const auto& exception = exceptions.front()["exception"];
        EXPECT_EQ(exception["type"], c.type);
        EXPECT_EQ(fromHex(exception["name"]), c.name);
        EXPECT_EQ(fromHex(exception["reason"]), c.reason);
        EXPECT_TRUE(exception["time"].is_number_unsigned());
        if (std::string(c.type) == "objective-c") {
            ASSERT_TRUE(exception.contains("frames"));
            ASSERT_FALSE(exception["frames"].empty()) << "the call stack the exception was made on";
            for (const auto& frame : exception["frames"]) {
                EXPECT_GT(frame["pc"].get<std::uint64_t>(), 4096u);
                EXPECT_EQ(frame["offset"], 0);
                EXPECT_FALSE(frame.contains("symbol"));
            }
        } else {
            EXPECT_FALSE(exception.contains("frames"));
        }

        ASSERT_GE(exceptions.size(), 2u);
        EXPECT_TRUE(exceptions[1].contains("threads")) << "the fault path's records follow";
        EXPECT_TRUE(testing::crashedThread(exceptions).is_object()) << "the thread that threw is marked";

        auto signals = readRecords(file("signal.embrecord"));
        ASSERT_FALSE(signals.empty()) << "the abort after the exception is recorded too";
        EXPECT_EQ(signals.front()["signal"]["number"], SIGABRT);
        EXPECT_EQ(signals.front()["signal"]["code_name"], "ABORT");
    }
}

TEST_F(EMBExceptionTest, CustomExceptionsRotateThroughTwoFilesAndTheProcessGoesOn)
{
    ::testing::ChildProcess* child = nullptr;
    auto started = startCaptureChild("custom-exceptions", m_folder.path(), { .maximumCustomExceptions = 8 });
    child = started.get();
    EXPECT_EQ(testing::scenarioOutput(*child), "went on\n");
    EXPECT_EQ(child->wait(10s), 0);

    auto reasons = [&](const char* name) {
        std::vector<std::string> found;
        for (const auto& record : readRecords(file(name))) {
            EXPECT_EQ(record.size(), 1u);
            EXPECT_TRUE(record.contains("exception")) << "no thread capture: " << record.dump();
            const auto& exception = record["exception"];
            found.push_back(exception["reason"].is_null() ? "(none)" : fromHex(exception["reason"]));
            EXPECT_EQ(exception["type"], found.back() == "(none)" ? "javascript" : "custom");
        }
        return found;
    };
    // With 8 a file, the 8th fills A, 9 to 16 go to a fresh B, 17 on to a fresh A.
    EXPECT_EQ(reasons("custom_exception_b.embrecord"),
        (std::vector<std::string> { "custom 9", "custom 10", "custom 11", "custom 12", "custom 13", "custom 14",
            "custom 15", "custom 16" }));
    EXPECT_EQ(reasons("custom_exception_a.embrecord"),
        (std::vector<std::string> { "custom 17", "custom 18", "custom 19", "custom 20", "(none)" }));
    EXPECT_FALSE(std::filesystem::exists(file("exception.embrecord")));
    EXPECT_FALSE(std::filesystem::exists(file("signal.embrecord")));
}

TEST_F(EMBExceptionTest, CustomExceptionsAreNotKeptWhenSwitchedOff)
{
    auto child = startCaptureChild("custom-exceptions", m_folder.path());
    EXPECT_EQ(child->wait(10s), 0);
    EXPECT_FALSE(std::filesystem::exists(file("custom_exception_a.embrecord")));
    EXPECT_FALSE(std::filesystem::exists(file("custom_exception_b.embrecord")));
}

TEST(EMBException, NotRecordedBeforeCaptureIsSetUp)
{
    ::testing::TemporaryDirectory folder;
    EMBExceptionRecord(EMBExceptionType::Custom, "exception", "too early", {}, false);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(EMBException, WritesTheFramesItIsGiven)
{
    ::testing::TemporaryDirectory folder;
    auto path = folder.path() / "exception.embrecord";
    EMBFile file;
    ASSERT_TRUE(EMBFileInitWithPath(&file, path.c_str(), false));
    EMBStackFrame symbolicated = EMBStackFrame::stackFrameWithAddress(0x401000);
    symbolicated.symbol = "main";
    symbolicated.offset = 16;
    symbolicated.library = "/usr/bin/zorvik";
    symbolicated.fileName = "main.cpp";
    symbolicated.lineNumber = (std::uint64_t(1) << 32) + 7;
    EMBExceptionWrite(&file, EMBExceptionType(9), "n", nullptr,
        { symbolicated, EMBStackFrame::stackFrameWithAddress(0x402000) });
    EMBFileClose(&file);
    auto records = readRecords(path);
    ASSERT_EQ(records.size(), 1u);
    const auto& exception = records[0]["exception"];
    EXPECT_EQ(exception["type"], "unknown");
    EXPECT_TRUE(exception["reason"].is_null());
    EXPECT_EQ(exception["frames"][0],
        nlohmann::json::parse(R"({"pc":4198400,"symbol":"6d61696e","offset":16,"library":"2f7573722f62696e2f7a6f72)"
                              R"(76696b","file":"6d61696e2e637070","line":7})"));
    EXPECT_EQ(exception["frames"][1], nlohmann::json::parse(R"({"pc":4202496,"offset":0,"line":0})"));
}

TEST(EMBDemangle, ReadableNamesOfSymbolsAndTypes)
{
    EXPECT_EQ(EMBDemangle("_ZN3kit5Ember5startEv"), "kit::Ember::start()");
    EXPECT_EQ(EMBDemangle("_ZN3kit11EMBDemangleEPKc"), "kit::EMBDemangle(char const*)");
    EXPECT_EQ(EMBDemangle("main"), "main");
    EXPECT_EQ(EMBDemangle("f"), "f") << "a C name is not a type";
    EXPECT_EQ(EMBDemangle("_Zbroken"), "_Zbroken");
    EXPECT_EQ(EMBDemangle(nullptr), "");
    EXPECT_EQ(EMBDemangleTypeName(typeid(int).name()), "int");
    EXPECT_EQ(EMBDemangleTypeName(typeid(std::runtime_error).name()), "std::runtime_error");
    EXPECT_EQ(EMBDemangleTypeName(typeid(platform::foundation::NamedException*).name()),
        "platform::foundation::NamedException*");
}

__attribute__((noinline)) platform::foundation::NamedException madeHere()
{
    platform::foundation::NamedException exception("Singleton", "made twice");
    asm volatile("" ::: "memory");
    return exception;
}

__attribute__((noinline)) std::vector<std::uintptr_t> stackMadeBelowHere()
{
    auto stack = madeHere().callStackReturnAddresses();
    asm volatile("" ::: "memory");
    return stack;
}

TEST(NamedException, KeepsTheCallStackItWasMadeOn)
{
    auto stack = stackMadeBelowHere();
    auto caller = reinterpret_cast<std::uintptr_t>(&stackMadeBelowHere);
    ASSERT_GE(stack.size(), 3u);
    EXPECT_TRUE(std::any_of(stack.begin(), stack.begin() + 3,
        [caller](std::uintptr_t address) { return address > caller && address < caller + 1024; }))
        << "the return into the function that made it is among the first frames";
}

}
}
