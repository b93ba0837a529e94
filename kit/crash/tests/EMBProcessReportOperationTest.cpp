#include "kit/crash/EMBProcessReportOperation.h"

#include "kit/crash/EMBSerializeSymbolicatedFramesOperation.h"
#include "kit/crash/capture/EMBBinaryImage.h"
#include "kit/crash/capture/tests/CaptureChild.h"
#include "kit/crash/tests/ReportRecords.h"
#include "platform/foundation/ExecutableImage.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <optional>
#include <sstream>
#include <thread>
#include <unistd.h>

// Functions laid out by hand, so that the addresses a crash leaves are exactly where a symbol starts: a
// trap on a function's first instruction (right after another function), and a call that does not return
// as its caller's last instruction, so that the return address is where the next function starts.
extern "C" {
void symbolicate_trap_at_entry();
void symbolicate_calls_noreturn();
[[noreturn]] void symbolicate_noreturn_crash();
}

asm(R"(
    .pushsection .text
    .p2align 4
    .globl symbolicate_before_trap
    .type symbolicate_before_trap, @function
symbolicate_before_trap:
    .cfi_startproc
    nop
    ret
    .cfi_endproc
    .size symbolicate_before_trap, .-symbolicate_before_trap
    .globl symbolicate_trap_at_entry
    .type symbolicate_trap_at_entry, @function
symbolicate_trap_at_entry:
    .cfi_startproc
    ud2
    .cfi_endproc
    .size symbolicate_trap_at_entry, .-symbolicate_trap_at_entry

    .p2align 4
    .globl symbolicate_calls_noreturn
    .type symbolicate_calls_noreturn, @function
symbolicate_calls_noreturn:
    .cfi_startproc
    subq $8, %rsp
    .cfi_adjust_cfa_offset 8
    call symbolicate_noreturn_crash@PLT
    .cfi_endproc
    .size symbolicate_calls_noreturn, .-symbolicate_calls_noreturn
    .globl symbolicate_after_noreturn
    .type symbolicate_after_noreturn, @function
symbolicate_after_noreturn:
    .cfi_startproc
    ret
    .cfi_endproc
    .size symbolicate_after_noreturn, .-symbolicate_after_noreturn
    .popsection
)");

// An address no page is mapped at (not null, which the sanitizer would catch first).
static volatile int* const kUnmapped = reinterpret_cast<volatile int*>(16);

__attribute__((noinline, no_sanitize("undefined"))) static void crashInStaticFunction()
{
    *kUnmapped = 1;
}

extern "C" __attribute__((noinline, no_sanitize("undefined"))) void symbolicate_noreturn_crash()
{
    *kUnmapped = 2;
    __builtin_unreachable();
}

namespace kit {
namespace {

using namespace std::chrono_literals;
using testing::CaptureScenarioRegistration;
using testing::readRecords;
using testing::writeLines;
namespace fs = std::filesystem;

// The child's side.

void callThrough(void (*function)())
{
    void (*volatile call)() = function;
    call();
}

// Waits until the image registry has recorded the load of `library`, so that the crash finds it there.
void waitForLoadRecord(const char* library)
{
    fs::path records = fs::path(testing::captureParameters().reportDirectory) / "binary_images.embrecord";
    for (int attempt = 0; attempt < 500; ++attempt) {
        if (platform::foundation::Files::readText(records).value_or("").find(library) != std::string::npos)
            return;
        std::this_thread::sleep_for(10ms);
    }
    testing::say("no load record");
}

// Where the library opened as `handle` starts.
std::uintptr_t baseOf(void* handle, const char* function)
{
    Dl_info info {};
    return dladdr(dlsym(handle, function), &info) != 0 ? reinterpret_cast<std::uintptr_t>(info.dli_fbase) : 0;
}

[[noreturn]] void crashIn(void* handle, const char* library, const char* function)
{
    waitForLoadRecord(library);
    reinterpret_cast<void (*)(volatile int*)>(dlsym(handle, function))(kUnmapped);
    std::abort();
}

const CaptureScenarioRegistration staticFunction(
    "symbolicate-static-function", [] { callThrough(crashInStaticFunction); });
const CaptureScenarioRegistration firstInstruction(
    "symbolicate-first-instruction", [] { callThrough(symbolicate_trap_at_entry); });
const CaptureScenarioRegistration noreturn(
    "symbolicate-noreturn", [] { callThrough(symbolicate_calls_noreturn); });
const CaptureScenarioRegistration rebuilt("symbolicate-rebuilt-plugin", [] {
    crashIn(dlopen(CRASH_PLUGIN_A_REBUILT, RTLD_NOW), CRASH_PLUGIN_A_REBUILT, "crash_plugin_a_crash");
});
const CaptureScenarioRegistration reusedBase("symbolicate-reused-base", [] {
    // The loader puts the second plugin where the first was unless another thread maps memory in between
    // (the registry writes each load on a thread of its own): try again until it does.
    for (int attempt = 0; attempt < 20; ++attempt) {
        void* first = dlopen(CRASH_PLUGIN_A, RTLD_NOW);
        std::uintptr_t firstBase = baseOf(first, "crash_plugin_a_crash");
        EMBBinaryImageWaitForRecords();
        dlclose(first);
        EMBBinaryImageWaitForRecords();
        void* second = dlopen(CRASH_PLUGIN_B, RTLD_NOW);
        if (baseOf(second, "crash_plugin_b_crash") == firstBase) {
            testing::say("base reused");
            EMBBinaryImageWaitForRecords();
            crashIn(second, CRASH_PLUGIN_B, "crash_plugin_b_crash");
        }
        EMBBinaryImageWaitForRecords();
        dlclose(second);
    }
    testing::say("base moved");
    crashIn(dlopen(CRASH_PLUGIN_B, RTLD_NOW), CRASH_PLUGIN_B, "crash_plugin_b_crash");
});

// The parent's side.

std::string thisProgram()
{
    char path[PATH_MAX] {};
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return std::string(path, length > 0 ? std::size_t(length) : 0);
}

// What addr2line makes of `addresses` (offsets into the image file at `image`): for each, the function
// holding it. It reads a copy without debugging information, whose names of template members are short
// ("_M_invoke"), so that it answers from the symbol table as the process's own symbolication does.
std::vector<std::string> addr2line(const std::string& image, const std::vector<std::uint64_t>& addresses)
{
    ::testing::TemporaryDirectory folder;
    std::string copy = (folder.path() / "image").string();
    std::string line
        = "objcopy --strip-debug '" + image + "' '" + copy + "' && addr2line -a -f -C -e '" + copy + "'";
    for (std::uint64_t address : addresses) {
        char text[32];
        std::snprintf(text, sizeof text, " 0x%llx", static_cast<unsigned long long>(address));
        line += text;
    }
    std::vector<std::string> functions;
    std::istringstream output(::testing::commandOutput(line));
    auto isAddress = [](const std::string& text) {
        return text.starts_with("0x") && text.find_first_not_of("0123456789abcdef", 2) == std::string::npos;
    };
    bool functionNext = false;
    for (std::string text; std::getline(output, text);) {
        if (isAddress(text)) {
            functions.emplace_back();
            functionNext = true;
        } else if (functionNext) {
            functions.back() = text;
            functionNext = false;
        }
    }
    return functions;
}

class EMBProcessReportOperationTest : public ::testing::Test {
protected:
    void TearDown() override { platform::foundation::Log::setCapture({}); }

    // Crashes a child with `scenario` and processes the report it leaves, as a later launch does.
    void crashAndProcess(const std::string& scenario)
    {
        auto child = testing::startCaptureChild(scenario, m_folder.path());
        ASSERT_TRUE(child);
        m_said = testing::scenarioOutput(*child);
        ASSERT_TRUE(child->deathSignal(20s)) << m_said;
        auto report = EMBInternalReport::reportWithPath(m_folder.path().string());
        ASSERT_TRUE(report);
        EMBProcessReportOperation(report).start();
    }

    std::vector<nlohmann::json> records(const char* name) const
    {
        return readRecords(m_folder.path() / name);
    }

    // The crash record's threads, and the index of the crashed one.
    std::size_t crashedIndex() const
    {
        for (const auto& record : records("signal.embrecord")) {
            if (!record.contains("threads"))
                continue;
            for (std::size_t i = 0; i < record["threads"].size(); ++i) {
                if (record["threads"][i].value("crashed", false))
                    return i;
            }
        }
        return SIZE_MAX;
    }
    nlohmann::json recordedThreads() const
    {
        for (const auto& record : records("signal.embrecord"))
            if (record.contains("threads"))
                return record["threads"];
        return nullptr;
    }
    nlohmann::json symbolicatedThreads() const
    {
        auto companion = records("signal.embrecord.symbolicated");
        return companion.size() == 1 ? companion[0].value("threads", nlohmann::json()) : nlohmann::json();
    }
    nlohmann::json crashedFrames() const
    {
        auto threads = symbolicatedThreads();
        std::size_t crashed = crashedIndex();
        return threads.is_array() && crashed < threads.size() ? threads[crashed] : nlohmann::json();
    }

    ::testing::TemporaryDirectory m_folder;
    std::string m_said;
};

struct CrashCase {
    const char* scenario;
    std::size_t frame;
    const char* symbol;
    std::optional<std::uint64_t> offset;

    friend std::ostream& operator<<(std::ostream& output, const CrashCase& crash)
    {
        return output << crash.scenario;
    }
};

class EMBProcessReportCrashTest : public EMBProcessReportOperationTest,
                                  public ::testing::WithParamInterface<CrashCase> { };

// The named frame is what the crash is about; every frame of this program, named in the process that did
// not crash, must agree with addr2line.
TEST_P(EMBProcessReportCrashTest, NamesTheCrashedThreadsFramesAsAddr2lineDoes)
{
    const CrashCase& crash = GetParam();
    crashAndProcess(crash.scenario);
    auto frames = crashedFrames();
    ASSERT_TRUE(frames.is_array() && frames.size() > crash.frame) << frames;
    EXPECT_EQ(frames[crash.frame]["symbol"], crash.symbol) << frames;
    if (crash.offset) {
        EXPECT_EQ(frames[crash.frame]["offset"], *crash.offset) << frames;
    }

    std::string program = thisProgram();
    auto stack = recordedThreads()[crashedIndex()]["stacktrace"];
    ASSERT_EQ(stack.size(), frames.size());
    std::vector<std::uint64_t> offsets;
    std::vector<std::size_t> ours;
    for (std::size_t i = 0; i < stack.size(); ++i) {
        std::uint64_t offset = 0;
        if (testing::imageHolding(m_folder.path(), stack[i], &offset) != program)
            continue;
        // A return address is after its call: the byte before it is the call's.
        offsets.push_back(i == 0 ? offset : offset - 1);
        ours.push_back(i);
    }
    ASSERT_GT(ours.size(), crash.frame);
    auto oracle = addr2line(program, offsets);
    ASSERT_EQ(oracle.size(), ours.size());
    for (std::size_t i = 0; i < ours.size(); ++i) {
        const auto& frame = frames[ours[i]];
        EXPECT_EQ(frame["symbol"], oracle[i]) << "frame " << ours[i];
        EXPECT_EQ(frame["library"], fs::path(program).filename().string()) << "frame " << ours[i];
    }
}

INSTANTIATE_TEST_SUITE_P(Crashes, EMBProcessReportCrashTest,
    ::testing::Values(CrashCase { "symbolicate-static-function", 0, "crashInStaticFunction()", std::nullopt },
        // The trapping instruction is the function's own first one, not a return address into the one before.
        CrashCase { "symbolicate-first-instruction", 0, "symbolicate_trap_at_entry", 0 },
        // The return address is where the next function starts: the call lies two bytes before it.
        CrashCase { "symbolicate-noreturn", 1, "symbolicate_calls_noreturn", 7 }),
    [](const auto& info) {
        std::string name = std::string(info.param.scenario).substr(std::strlen("symbolicate-"));
        std::erase(name, '-');
        return name;
    });

TEST_F(EMBProcessReportOperationTest, WritesOneLineOfEveryThreadsFramesInPlaceOfNothing)
{
    crashAndProcess("symbolicate-static-function");
    std::string text
        = platform::foundation::Files::readText(m_folder.path() / "signal.embrecord.symbolicated")
              .value_or("");
    EXPECT_TRUE(text.starts_with(R"({"threads":[[{"symbol":")")) << text.substr(0, 80);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
    auto recorded = recordedThreads();
    auto symbolicated = symbolicatedThreads();
    ASSERT_EQ(symbolicated.size(), recorded.size());
    for (std::size_t i = 0; i < recorded.size(); ++i)
        EXPECT_EQ(symbolicated[i].size(), recorded[i]["stacktrace"].size()) << "thread " << i;
    for (const auto& entry : fs::directory_iterator(m_folder.path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with(".")) << entry.path();
}

// Frames of another build of a library (another build-id) are not named from the build loaded here, but
// still written; the rest of the stack is named.
TEST_F(EMBProcessReportOperationTest, LeavesAnotherBuildsFramesUnresolvedButWritesThem)
{
    void* loaded = dlopen(CRASH_PLUGIN_A, RTLD_NOW);
    ASSERT_NE(loaded, nullptr);
    crashAndProcess("symbolicate-rebuilt-plugin");
    dlclose(loaded);
    auto frames = crashedFrames();
    ASSERT_TRUE(frames.is_array() && frames.size() > 1) << frames;
    EXPECT_EQ(frames[0], (nlohmann::json { { "symbol", "" }, { "offset", 0 }, { "library", "" } }));
    EXPECT_EQ(frames[1]["library"], fs::path(thisProgram()).filename().string());
    EXPECT_NE(frames[1]["symbol"], "");
}

// A library unloaded before the crash leaves its range to the next one loaded there: addresses in that range
// are the second library's.
TEST_F(EMBProcessReportOperationTest, NamesAReusedRangeAfterTheImageLoadedLast)
{
    void* first = dlopen(CRASH_PLUGIN_A, RTLD_NOW);
    void* second = dlopen(CRASH_PLUGIN_B, RTLD_NOW);
    ASSERT_TRUE(first && second);
    crashAndProcess("symbolicate-reused-base");
    dlclose(second);
    dlclose(first);
    ASSERT_EQ(m_said, "base reused\n");
    auto frames = crashedFrames();
    ASSERT_TRUE(frames.is_array() && !frames.empty()) << frames;
    EXPECT_EQ(frames[0]["symbol"], "crash_plugin_b_crash");
    EXPECT_EQ(frames[0]["library"], fs::path(CRASH_PLUGIN_B).filename().string());
}

// Reports written by hand, for what a crash rarely leaves: a missing or damaged file.
class EMBProcessHandMadeReportTest : public EMBProcessReportOperationTest {
protected:
    void SetUp() override
    {
        platform::foundation::Log::setCapture([this](const std::string& line) { m_log.push_back(line); });
        auto program = platform::foundation::ExecutableImage::current();
        ASSERT_TRUE(program);
        m_program = *program;
    }

    void process()
    {
        EMBProcessReportOperation(EMBInternalReport::reportWithPath(m_folder.path().string(), "report"))
            .start();
    }
    std::string companion(const char* record) const
    {
        return platform::foundation::Files::readText(
            m_folder.path() / (std::string(record) + ".symbolicated"))
            .value_or("");
    }

    platform::foundation::ExecutableImage m_program;
    std::vector<std::string> m_log;
};

TEST_F(EMBProcessHandMadeReportTest, WritesNoCompanionWithoutTheBinaryImageFile)
{
    writeLines(m_folder.path() / "signal.embrecord", { R"({"threads":[{"stacktrace":[4198400,4198500]}]})" });
    process();
    for (const auto& entry : fs::directory_iterator(m_folder.path()))
        EXPECT_EQ(entry.path().filename(), "signal.embrecord");
}

// A crash record cut short by a second fault, or broken by a failed write, is symbolicated as far as its
// whole records go, and the report is sent as it stands.
TEST_F(EMBProcessHandMadeReportTest, SymbolicatesDamagedRecordsAsFarAsTheirWholeRecordsGo)
{
    constexpr std::uint64_t kBase = 0x3000000;
    std::uint64_t trap
        = testing::addressAt(m_program, kBase, reinterpret_cast<std::uint64_t>(&symbolicate_trap_at_entry));
    writeLines(m_folder.path() / "binary_images.embrecord", { testing::loadRecord(m_program, kBase) });
    writeLines(m_folder.path() / "signal.embrecord",
        { R"({"signal":{"number":4,"errno":0,"time":1})", R"({"signal":{"number":4,"errno":0,"time":1}})",
            R"({"threads":[{"stacktrace":[)" + std::to_string(trap) + R"(,0]},{"stacktrace":[]},7]})",
            R"({"runtime":{"objc_selector":"","crash_info)" });
    writeLines(m_folder.path() / "exception.embrecord",
        { R"({"exception":{"type":"c++","name":"","time":1}})", R"({"threads":[{"stacktrace":[4198400,)" });
    process();
    EXPECT_EQ(companion("signal.embrecord"),
        std::string(R"({"threads":[[{"symbol":"symbolicate_trap_at_entry","offset":0,"library":")")
            + m_program.path().filename().string() + R"("},{"symbol":"","offset":0,"library":""}],[],[]]})"
            + "\n");
    EXPECT_EQ(companion("exception.embrecord"), "");
    std::string exception = (m_folder.path() / "exception.embrecord").string();
    std::string signal = (m_folder.path() / "signal.embrecord").string();
    EXPECT_EQ(m_log,
        (std::vector<std::string> { "[Ember:Crash:Symbolication] crash record " + exception
                + " is damaged: symbolicating its whole records",
            "[Ember:Crash:Symbolication] crash record " + exception + " holds no threads",
            "[Ember:Crash:Symbolication] crash record " + signal
                + " is damaged: symbolicating its whole records" }));
}

// A companion that cannot be written leaves nothing behind, and says so.
TEST_F(EMBProcessHandMadeReportTest, LeavesNoCompanionWhereItCannotBeWritten)
{
    auto threads
        = std::make_shared<EMBThreadArray>(EMBThreadArray { { EMBStackFrame::stackFrameWithAddress(1) } });
    EMBSerializeSymbolicatedFramesOperation unwritable(threads, (m_folder.path() / "gone" / "x").string());
    unwritable.start();
    EXPECT_FALSE(unwritable.written());
    EXPECT_EQ(
        m_log, (std::vector<std::string> { "[Ember:Crash:Symbolication] Failed to create output file" }));

    EMBSerializeSymbolicatedFramesOperation written(threads, (m_folder.path() / "x").string());
    written.start();
    EXPECT_TRUE(written.written());
    EXPECT_EQ(platform::foundation::Files::readText(m_folder.path() / "x"),
        R"({"threads":[[{"symbol":"","offset":0,"library":""}]]})"
        "\n");
}

}
}
