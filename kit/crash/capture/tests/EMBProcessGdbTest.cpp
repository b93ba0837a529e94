// gdb on the same process is the oracle for the walk: the child waits until gdb has attached, then faults;
// gdb prints the crashed thread's frames, their names and its registers at the fault and every thread's
// backtrace, then lets the child's handler run and record.

#include "kit/crash/capture/EMBFileReader.h"
#include "kit/crash/capture/EMBProcessRecords.h"
#include "kit/crash/capture/EMBThreadSuspension.h"
#include "kit/crash/capture/tests/CaptureChild.h"
#include "kit/crash/capture/tests/RecordingChild.h"
#include "platform/foundation/Dictionary.h"
#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <map>
#include <sstream>
#include <unistd.h>

namespace kit {
namespace {

namespace fs = std::filesystem;
using platform::foundation::DictionaryRef;
using testing::addresses;

TEST(EMBProcessChild, DISABLED_FaultsOnceADebuggerWatches)
{
    testing::ParkedThread parked;
    testing::installRecordingHandler();
    std::string ready = "ready " + std::to_string(getpid()) + "\n";
    (void)!write(STDOUT_FILENO, ready.data(), ready.size());
    // gdb takes its time to attach on a busy machine: the child waits as long as the parent would.
    auto limit = std::chrono::steady_clock::now() + testing::kCaptureChildLimit;
    while (!EMBProcessDebuggerAttached() && std::chrono::steady_clock::now() < limit)
        usleep(1000);
    testing::faultLevel(5);
}

// The hexadecimal numbers gdb printed after `prefix` at the start of a line, in order.
std::vector<std::uint64_t> printedValues(const std::string& output, const std::string& prefix)
{
    std::vector<std::uint64_t> values;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(prefix, 0) != 0)
            continue;
        auto at = line.find("0x", prefix.size());
        if (at != std::string::npos)
            values.push_back(std::stoull(line.substr(at), nullptr, 16));
    }
    return values;
}

// Consecutive equal addresses as one: gdb lists an inlined call as a frame of its own at the same PC.
std::vector<std::uint64_t> folded(std::vector<std::uint64_t> addresses)
{
    addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
    return addresses;
}

// Nesting of brackets in C++ names, ignoring the `>` of `->`.
int nesting(const std::string& text, std::size_t at)
{
    char c = text[at];
    if (c == '(' || c == '<' || c == '{' || c == '[')
        return 1;
    if (c == ')' || c == '}' || c == ']' || (c == '>' && (at == 0 || text[at - 1] != '-')))
        return -1;
    return 0;
}

// One line of gdb's backtrace ("#3  0x00005555 in ns::function (argument=1) at file.cpp:12"): the address,
// when gdb printed one, and the function's name.
struct BacktraceFrame {
    std::uint64_t address { 0 };
    std::string function;
};

std::vector<BacktraceFrame> backtrace(const std::string& output)
{
    std::vector<BacktraceFrame> frames;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind('#', 0) != 0)
            continue;
        std::istringstream words(line);
        std::string number;
        words >> number >> std::ws;
        std::string rest(std::istreambuf_iterator<char>(words), {});
        BacktraceFrame frame;
        if (rest.rfind("0x", 0) == 0 && rest.find(" in ") != std::string::npos) {
            frame.address = std::stoull(rest, nullptr, 16);
            rest = rest.substr(rest.find(" in ") + 4);
        }
        int depth = 0;
        std::size_t end = 0;
        for (; end < rest.size() && !(depth == 0 && rest.compare(end, 2, " (") == 0); ++end)
            depth += nesting(rest, end);
        frame.function = rest.substr(0, end);
        frames.push_back(frame);
    }
    return frames;
}

// A demangled name as gdb shows a function of the program: without its parameter list, const qualifier or
// return type ("void ns::f<int>(int) const" is "ns::f<int>").
std::string bareName(std::string name)
{
    if (name.ends_with(" const"))
        name.resize(name.size() - 6);
    if (name.ends_with(")")) {
        int depth = 0;
        std::size_t at = name.size();
        do {
            --at;
            depth += nesting(name, at);
        } while (at > 0 && depth != 0);
        name.resize(at);
    }
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t at = 0; at < name.size(); ++at) {
        depth += nesting(name, at);
        if (depth == 0 && name[at] == ' ')
            start = at + 1;
    }
    return name.substr(start);
}

// What addr2line -f -C says of `offsets` in `program`: each one's function, when it has a line in the build's
// code (the program's own debugging information), else nothing.
std::vector<std::string> namesInTheBuildsCode(
    const std::string& program, const std::vector<std::uint64_t>& offsets)
{
    std::vector<std::string> arguments { "/usr/bin/addr2line", "-f", "-C", "-e", program };
    for (std::uint64_t offset : offsets) {
        std::ostringstream hex;
        hex << std::hex << "0x" << offset;
        arguments.push_back(hex.str());
    }
    std::istringstream lines(::testing::ChildProcess(arguments).readAll(std::chrono::seconds(30)));
    std::vector<std::string> names;
    for (std::string function, place; std::getline(lines, function) && std::getline(lines, place);)
        names.push_back(place.rfind("??", 0) == 0 ? std::string() : function);
    return names;
}

class EMBProcessGdbTest : public ::testing::Test {
protected:
    fs::path recordPath() const { return m_folder.path() / "signal.embrecord"; }

    // Runs gdb on the child `pid` as the oracle and lets the child's fault go on to its handler.
    static std::string gdbOn(const std::string& pid)
    {
        std::string suspension
            = "handle SIG" + std::to_string(EMBThreadSuspensionSignal()) + " nostop noprint pass";
        return ::testing::ChildProcess(
            { "/usr/bin/gdb", "-nx", "-batch", "-iex", "set debug-file-directory /nonexistent", "-p", pid,
                "-ex", suspension, "-ex", "set backtrace past-main on", "-ex", "set backtrace past-entry on",
                "-ex", "continue", "-ex", "frame apply all -q p/x $pc", "-ex", "bt", "-ex",
                "info registers rip rsp rbp rbx r12 r13 r14 r15", "-ex", "echo ==threads==\\n", "-ex",
                "thread apply all bt", "-ex", "continue" })
            .readAll(std::chrono::seconds(60));
    }

    ::testing::TemporaryDirectory m_folder;
};

TEST_F(EMBProcessGdbTest, EveryThreadsFramesAreThoseGdbSees)
{
    auto child
        = testing::runRecordingChild("EMBProcessChild.DISABLED_FaultsOnceADebuggerWatches", recordPath());
    std::optional<std::string> ready;
    while ((ready = child->readLine(testing::kCaptureChildLimit)) && ready->rfind("ready ", 0) != 0) { }
    ASSERT_TRUE(ready);
    std::string gdb = gdbOn(ready->substr(6));
    std::string output = child->readAll(testing::kCaptureChildLimit);
    EXPECT_EQ(child->deathSignal(testing::kCaptureChildLimit), SIGSEGV) << output;
    ASSERT_NE(gdb.find("SIGSEGV"), std::string::npos) << gdb;

    auto sections = EMBFileReadSections(recordPath().string(), false);
    ASSERT_TRUE(sections && sections->records.size() == 1) << output;
    auto threads = sections->records[0]->get("threads").array();
    ASSERT_TRUE(threads);
    DictionaryRef crashed;
    for (std::size_t i = 0; i < threads->size(); ++i) {
        if (threads->at(i).dictionary()->get("crashed").boolValue())
            crashed = threads->at(i).dictionary();
    }
    ASSERT_TRUE(crashed);
    auto stack = addresses(crashed->get("stacktrace").array());
    std::string crashedPart = gdb.substr(0, gdb.find("==threads=="));
    auto pcs = printedValues(crashedPart, "$");
    auto theirs = folded(pcs);
    ASSERT_GE(theirs.size(), 7u) << gdb;
    EXPECT_EQ(folded(stack), theirs) << gdb;
    auto registers = crashed->get("registers").dictionary();
    for (const char* name : { "rip", "rsp", "rbp", "rbx", "r12", "r13", "r14", "r15" }) {
        auto printed = printedValues(crashedPart, name);
        ASSERT_EQ(printed.size(), 1u) << name << "\n" << gdb;
        EXPECT_EQ(std::uint64_t(registers->get(name).integerValue()), printed[0]) << name;
    }

    // The names of the crashed thread's frames in the build's code: addr2line's for our addresses (a return
    // address looked up inside its call) are gdb's for the same frames.
    auto named = backtrace(crashedPart);
    ASSERT_EQ(named.size(), pcs.size()) << "a name for each frame\n" << gdb;
    std::map<std::uint64_t, std::string> gdbNames;
    for (std::size_t i = 0; i < pcs.size(); ++i)
        gdbNames.emplace(pcs[i], named[i].function);
    std::string program = fs::read_symlink("/proc/self/exe");
    std::vector<std::uint64_t> offsets;
    std::vector<std::uint64_t> ofFrames;
    for (std::size_t i = 0; i < stack.size(); ++i) {
        std::uint64_t offset = 0;
        if (testing::imageHolding(m_folder.path(), stack[i], &offset) != program)
            continue;
        offsets.push_back(offset - (i > 0 ? 1 : 0));
        ofFrames.push_back(stack[i]);
    }
    auto names = namesInTheBuildsCode(program, offsets);
    ASSERT_EQ(names.size(), offsets.size());
    int inTheBuildsCode = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i].empty())
            continue;
        EXPECT_EQ(bareName(names[i]), gdbNames[ofFrames[i]]) << names[i] << "\n" << gdb;
        ++inTheBuildsCode;
    }
    EXPECT_GE(inTheBuildsCode, 7) << "six calls of faultLevel and the test";

    // Every other thread sits in a blocking call: its callers are those of gdb's backtrace. (Where it
    // stopped may differ: a system call the signal interrupted is set back to start again.) gdb reads no
    // separate debug files, from which it would make up frames for tail calls that left nothing on the stack.
    std::vector<pid_t> tids;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("tid ", 0) == 0)
            tids.push_back(pid_t(std::stol(line.substr(4))));
    }
    ASSERT_EQ(tids.size(), threads->size()) << output;
    int compared = 0;
    for (std::size_t i = 0; i < tids.size(); ++i) {
        if (threads->at(i).dictionary()->get("crashed").boolValue())
            continue;
        auto header = gdb.find("(LWP " + std::to_string(tids[i]) + ")", gdb.find("==threads=="));
        ASSERT_NE(header, std::string::npos) << tids[i] << "\n" << gdb;
        std::string part = gdb.substr(header, gdb.find("\nThread ", header) - header);
        auto frames = backtrace(part);
        std::vector<std::uint64_t> gdbCallers;
        for (std::size_t f = 1; f < frames.size(); ++f) {
            if (frames[f].address != 0)
                gdbCallers.push_back(frames[f].address);
        }
        auto ourCallers = folded(addresses(threads->at(i).dictionary()->get("stacktrace").array()));
        ASSERT_FALSE(gdbCallers.empty() || ourCallers.empty()) << tids[i] << "\n" << part;
        EXPECT_EQ(std::vector<std::uint64_t>(ourCallers.begin() + 1, ourCallers.end()), folded(gdbCallers))
            << "thread " << tids[i] << "\n"
            << part;
        ++compared;
    }
    EXPECT_GE(compared, 1);
}

}
}
