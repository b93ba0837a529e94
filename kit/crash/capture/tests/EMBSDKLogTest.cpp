#include "kit/crash/capture/EMBSDKLog.h"

#include "kit/crash/capture/tests/CrashTimeChild.h"
#include "platform/foundation/Files.h"
#include "testing/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

namespace kit {
namespace {

std::string ours(const char* format, ...)
{
    char buffer[kEMBSDKLogLineCapacity];
    va_list arguments;
    va_start(arguments, format);
    std::size_t length = EMBSDKLogFormat(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    return std::string(buffer, length);
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
template<class... Arguments>
std::pair<std::string, std::string> both(const char* format, Arguments... arguments)
{
    char expected[kEMBSDKLogLineCapacity];
    std::snprintf(expected, sizeof expected, format, arguments...);
    return { ours(format, arguments...), expected };
}
#pragma GCC diagnostic pop

TEST(EMBSDKLogFormat, AgreesWithSnprintfOnEveryDirectiveItKnows)
{
    int anchor = 0;
    std::vector<std::pair<std::string, std::string>> cases {
        both("plain text\n"),
        both("%s: Error: Unable to open file %s\n", "EMBFileInitWithPathMode", "/tmp/x y"),
        both("%d %d %d %d", 0, -3, 2147483647, -2147483647 - 1),
        both("%i|%u|%x", -17, 4294967295u, 0xdeadbeefu),
        both("%p", &anchor),
        both("%p", reinterpret_cast<void*>(255)),
        both("%lu %llu %zu %zd", 18446744073709551615ul, 1ull << 63, std::size_t(12), ssize_t(-12)),
        both("%ld %lld %lx", -9223372036854775807l - 1, -1ll, 0xfeedfacecafebeeful),
        both("0x%02x 0x%02x %08x %5d", 7u, 0xabu, 0x1234u, -42),
        both("%05d %03u %4s|%c%c", -42, 7u, "ab", 'S', 'z'),
        both("%hhu %hu %hd", 300, 70000, -5),
        both("%jd %td", std::intmax_t(-9), std::ptrdiff_t(33)),
    };
    for (auto& [got, expected] : cases)
        EXPECT_EQ(got, expected);
}

TEST(EMBSDKLogFormat, WritesWhatItDoesNotKnowAsItStands)
{
    struct Case {
        std::string got;
        std::string expected;
    };
    Case cases[] {
        { ours("%s", nullptr), "(null)" },
        { ours("%p", reinterpret_cast<void*>(255)), "0xff" },
        { ours("%d", -3), "-3" },
        { ours("100%%"), "100%%" },
        { ours("%q and %f then %s", "text"), "%q and %f then text" },
        { ours("ends in %"), "ends in %" },
        { ours("ends in %l"), "ends in %l" },
    };
    for (auto& c : cases)
        EXPECT_EQ(c.got, c.expected);
}

TEST(EMBSDKLogFormat, CutsWhatDoesNotFit)
{
    char buffer[8];
    va_list none {};
    EXPECT_EQ(EMBSDKLogFormat(buffer, sizeof buffer, "0123456789", none), 8u);
    EXPECT_EQ(std::string(buffer, 8), "01234567");
}

class EMBSDKFileLogTest : public ::testing::Test {
protected:
    void TearDown() override { EMBSDKLogSetPath(nullptr); }

    std::string logText() { return platform::foundation::Files::readText(m_path).value_or(""); }

    ::testing::TemporaryDirectory m_folder;
    std::string m_path { (m_folder.path() / "sdk.log").string() };
};

TEST_F(EMBSDKFileLogTest, WritesNothingBeforeItHasAPathAndCreatesTheFileOnFirstUse)
{
    EMBSDKLogSetPath(nullptr);
    EMBSDKFileLog("%s: lost\n", __func__);
    EMBSDKLogSetPath(m_path.c_str());
    EXPECT_FALSE(platform::foundation::Files::exists(m_path));
    EMBSDKFileLog("%s: kept %d\n", "first", 1);
    EMBSDKFileLog("%s: kept %d\n", "second", 2);
    EXPECT_EQ(logText(), "first: kept 1\nsecond: kept 2\n");
}

TEST_F(EMBSDKFileLogTest, AnUnopenableLogWritesNothingAndKeepsErrno)
{
    std::string inMissingFolder = (m_folder.path() / "missing" / "sdk.log").string();
    EMBSDKLogSetPath(inMissingFolder.c_str());
    errno = EAGAIN;
    EMBSDKFileLog("%s\n", "nothing");
    EXPECT_EQ(errno, EAGAIN);
    EXPECT_FALSE(platform::foundation::Files::exists(inMissingFolder));
}

TEST_F(EMBSDKFileLogTest, LinesOfThreadsLoggingTogetherStayWhole)
{
    EMBSDKLogSetPath(m_path.c_str());
    constexpr int kThreads = 8;
    constexpr int kLines = 1000;
    std::string padding(150, '.');
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &padding] {
            for (int i = 0; i < kLines; ++i)
                EMBSDKFileLog("thread %d line %d %s end\n", t, i, padding.c_str());
        });
    }
    for (auto& thread : threads)
        thread.join();

    std::istringstream lines(logText());
    std::set<std::pair<int, int>> seen;
    std::string line;
    while (std::getline(lines, line)) {
        int t = -1;
        int i = -1;
        char rest[200] {};
        ASSERT_EQ(std::sscanf(line.c_str(), "thread %d line %d %199s", &t, &i, rest), 3) << line;
        ASSERT_EQ(
            line, "thread " + std::to_string(t) + " line " + std::to_string(i) + " " + padding + " end");
        seen.insert({ t, i });
    }
    EXPECT_EQ(seen.size(), std::size_t(kThreads * kLines));
}

TEST_F(EMBSDKFileLogTest, ALineTooLongIsCutAndStillEndsTheLine)
{
    EMBSDKLogSetPath(m_path.c_str());
    std::string longText(5000, 'x');
    EMBSDKFileLog("%s\n", longText.c_str());
    EMBSDKFileLog("after\n");
    std::string text = logText();
    EXPECT_EQ(text, std::string(kEMBSDKLogLineCapacity - 1, 'x') + "\nafter\n");
}

// Child: logs from a SIGSEGV handler with the allocation trap armed.
TEST(EMBSDKFileLogChild, DISABLED_LogsFromASignalHandler)
{
    static std::string path = std::string(getenv("EMB_TEST_LOG_PATH"));
    EMBSDKLogSetPath(path.c_str());
    testing::faultWithHandler([] {
        EMBSDKFileLog("%s: in handler %d %p\n", "EMBHandler", -7, reinterpret_cast<void*>(0x1000));
        (void)!write(STDOUT_FILENO, "handler done\n", 13);
    });
}

TEST_F(EMBSDKFileLogTest, LogsFromASignalHandlerWithoutAllocating)
{
    setenv("EMB_TEST_LOG_PATH", m_path.c_str(), 1);
    auto child = testing::runCrashTimeChild("EMBSDKFileLogChild.DISABLED_LogsFromASignalHandler");
    unsetenv("EMB_TEST_LOG_PATH");
    ASSERT_TRUE(child && child->started());
    std::string output = child->readAll(std::chrono::seconds(20));
    EXPECT_EQ(child->deathSignal(std::chrono::seconds(20)), SIGSEGV) << output;
    EXPECT_NE(output.find("handler done"), std::string::npos) << output;
    EXPECT_EQ(logText(), "EMBHandler: in handler -7 0x1000\n");
}

}
}
