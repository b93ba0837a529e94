#include "kit/crash/EMBUserLogging.h"
#include "kit/crash/EMBLog.h"

#include "kit/crash/tests/UserLoggingFixture.h"
#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "platform/foundation/Log.h"

#include <gtest/gtest.h>

#include <cctype>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <thread>
#include <unistd.h>

namespace kit {
namespace {

using platform::foundation::Dictionary;
using platform::foundation::DictionaryRef;
using platform::foundation::Error;
using platform::foundation::Value;
using testing::fileLines;
using testing::hexDecode;

// The records of one kind in a file, in order.
std::vector<DictionaryRef> records(const std::string& path, const char* name)
{
    std::vector<DictionaryRef> out;
    for (const auto& line : fileLines(path)) {
        auto parsed = platform::foundation::parseJson(line);
        EXPECT_TRUE(parsed.ok()) << line;
        if (auto record = parsed.value.dictionary())
            out.push_back(record->get(name).dictionary());
    }
    return out;
}

class EMBUserLoggingTest : public testing::UserLoggingFixture {
protected:
    void recordError(int code) { EMBUserLoggingRecordError(Error("com.zorvik.test", code), nullptr); }
    std::vector<std::int64_t> errorCodes(const char* file)
    {
        std::vector<std::int64_t> codes;
        for (const auto& error : records(path(file), "error"))
            codes.push_back(*error->get("code").integer());
        return codes;
    }
};

TEST_F(EMBUserLoggingTest, LogLinesKeepQuotesAndLineFeedsAndTellTheirTime)
{
    start();
    EMBLog("say \"%s\"\n%d", "hello", 42);
    auto logs = records(path("log_a.embrecord"), "log");
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(hexDecode(*logs[0]->get("msg").string()), "say \"hello\"\n42");
    EXPECT_LT(*logs[0]->get("time").integer(), 1000);
}

TEST_F(EMBUserLoggingTest, NothingIsLoggedBeforeSetUpOrWithALimitOfZero)
{
    EMBLog("before");
    recordError(1);
    EXPECT_TRUE(std::filesystem::is_empty(m_directory.path()));

    start({ .errorReportingEnabled = false });
    recordError(2);
    EXPECT_FALSE(std::filesystem::exists(path("errors_a.embrecord")));
    EMBUserLoggingDeinit();

    start({ .maxCustomExceptions = 0 });
    recordError(3);
    EXPECT_FALSE(std::filesystem::exists(path("errors_a.embrecord")));
}

TEST_F(EMBUserLoggingTest, ErrorFilesTurnAfterExactlyTheirEntryLimit)
{
    start({ .maxCustomExceptions = 8 });
    std::ofstream(path("errors_b.embrecord")) << "{\"error\":{\"code\":99}}\n";
    for (int code = 1; code <= 8; ++code)
        recordError(code);
    EXPECT_EQ(errorCodes("errors_a.embrecord"), (std::vector<std::int64_t> { 1, 2, 3, 4, 5, 6, 7, 8 }));

    recordError(9);
    EXPECT_EQ(errorCodes("errors_b.embrecord"), (std::vector<std::int64_t> { 9 }));
    for (int code = 10; code <= 17; ++code)
        recordError(code);
    EXPECT_EQ(errorCodes("errors_a.embrecord"), (std::vector<std::int64_t> { 17 }));
    EXPECT_EQ(errorCodes("errors_b.embrecord").size(), 8u);
}

TEST_F(EMBUserLoggingTest, ARecordedErrorCarriesItsStackAndBothInformationDictionaries)
{
    start();
    auto info = Dictionary::make({ { "invoice", Value("INV-7") }, { "amount", Value(12000) } });
    EMBUserLoggingRecordError(
        Error("com.zorvik.send", -42, info), Dictionary::make({ { "screen", Value("edit") } }));
    EMBUserLoggingRecordError(Error("com.zorvik.plain", 1), Dictionary::make());

    auto errors = records(path("errors_a.embrecord"), "error");
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(hexDecode(*errors[0]->get("domain").string()), "com.zorvik.send");
    EXPECT_EQ(*errors[0]->get("code").integer(), -42);
    EXPECT_GT(errors[0]->get("time").integer().value_or(0), 1'700'000'000);
    EXPECT_GE(errors[0]->get("stacktrace").array()->size(), 2u);
    auto pairs = errors[0]->get("info").array();
    ASSERT_EQ(pairs->size(), 2u);
    std::map<std::string, std::string> decoded;
    for (const auto& pair : *pairs)
        decoded[hexDecode(*pair.array()->at(0).string())] = hexDecode(*pair.array()->at(1).string());
    EXPECT_EQ(
        decoded, (std::map<std::string, std::string> { { "invoice", "INV-7" }, { "amount", "12000" } }));
    EXPECT_EQ(errors[0]->get("extra_info").array()->size(), 1u);
    EXPECT_FALSE(errors[1]->contains("info"));
    EXPECT_FALSE(errors[1]->contains("extra_info"));
}

TEST_F(EMBUserLoggingTest, OverlongTextsAreCutAtTheirLimit)
{
    start({ .logBufferSize = 1024 });
    std::string longText(EMBUserLoggingMaxLogSize() + 5000, 'x');
    longText[EMBUserLoggingMaxLogSize() - 1] = '\xc3';
    longText[EMBUserLoggingMaxLogSize()] = '\xa9';
    EMBLogInternal(longText);
    auto logs = records(path("log_a.embrecord"), "log");
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(hexDecode(*logs[0]->get("msg").string()), std::string(EMBUserLoggingMaxLogSize() - 1, 'x'));

    EMBUserLoggingRecordError(Error(std::string(EMBUserLoggingMaxErrorSize() + 10, 'd'), 1,
                                  Dictionary::make({ { "k", Value(std::string(100, 'v')) } })),
        nullptr);
    auto errors = records(path("errors_a.embrecord"), "error");
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0]->get("domain").string()->size(), 2 * EMBUserLoggingMaxErrorSize());
    auto pair = errors[0]->get("info").array()->at(0).array();
    EXPECT_EQ(*pair->at(0).string(), "");
}

TEST_F(EMBUserLoggingTest, EightThreadsLoggingLeaveWholeLinesAndNoFileOverItsCap)
{
    constexpr std::uint32_t cap = 4096;
    start({ .logBufferSize = cap });
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 150; ++i)
                EMBLog("thread %d line %03d %s", t, i, std::string(60, static_cast<char>('a' + t)).c_str());
        });
    for (auto& thread : threads)
        thread.join();
    drain();

    std::size_t longestRecord = 0;
    std::size_t lines = 0;
    for (const char* file : { "log_a.embrecord", "log_b.embrecord" }) {
        std::uintmax_t size = std::filesystem::file_size(path(file));
        for (const auto& line : fileLines(path(file))) {
            longestRecord = std::max(longestRecord, line.size() + 1);
            auto record = platform::foundation::parseJson(line).value.dictionary();
            ASSERT_TRUE(record) << line;
            auto message = hexDecode(*record->get("log").dictionary()->get("msg").string());
            ASSERT_EQ(message.size(), 78u) << message;
            EXPECT_EQ(message.substr(18), std::string(60, message[18]));
            ++lines;
        }
        EXPECT_LE(size, cap + longestRecord) << file;
    }
    EXPECT_GT(lines, 20u);
}

// In a child: logs numbered lines without end into a small rotating log, telling its parent of each line
// the call has returned for.
TEST(EMBUserLoggingChild, DISABLED_LogsUntilKilled)
{
    EMBUserLoggingStorages storages;
    EMBUserLoggingWritableState state;
    testing::startChildLogging(storages, state, { .logBufferSize = 2048 });
    for (long i = 0;; ++i) {
        EMBLog("line %ld %s", i, std::string(60, 'x').c_str());
        auto line = std::to_string(i) + "\n";
        ASSERT_EQ(write(STDOUT_FILENO, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    }
}

// A line is in its file when the call returns: a kill right after it loses nothing, and leaves no line cut.
TEST(EMBUserLoggingKillTest, TheLastReturnedLineIsInTheLogAfterAKillAtAnyMoment)
{
    std::mt19937 random(103);
    for (int moment = 0; moment < 4; ++moment) {
        SCOPED_TRACE("moment " + std::to_string(moment));
        ::testing::TemporaryDirectory directory;
        auto started
            = testing::startLoggingChild("EMBUserLoggingChild.DISABLED_LogsUntilKilled", directory.path());
        ASSERT_TRUE(started && started->started());
        auto& child = *started;
        long target = 50 + static_cast<long>(random() % 500);
        long returned = -1;
        auto record = [&](const std::string& line) {
            if (!line.empty() && std::isdigit(static_cast<unsigned char>(line[0])))
                returned = std::stol(line);
        };
        while (returned < target) {
            auto line = child.readLine(std::chrono::seconds(30));
            ASSERT_TRUE(line) << "the child ended or fell silent after line " << returned;
            record(*line);
        }
        child.signal(SIGKILL);
        ASSERT_EQ(child.deathSignal(std::chrono::seconds(30)), SIGKILL);
        while (auto line = child.readLine(std::chrono::milliseconds(200)))
            record(*line);

        std::set<std::string> logged;
        for (const char* file : { "log_a.embrecord", "log_b.embrecord" }) {
            for (const auto& log : records((directory.path() / file).string(), "log")) {
                ASSERT_TRUE(log) << file;
                logged.insert(hexDecode(*log->get("msg").string()));
            }
        }
        EXPECT_TRUE(logged.contains("line " + std::to_string(returned) + " " + std::string(60, 'x')))
            << "line " << returned;
    }
}

TEST_F(EMBUserLoggingTest, NSLogAlsoWritesTheSystemLog)
{
    std::vector<std::string> lines;
    platform::foundation::Log::setCapture([&](const std::string& line) { lines.push_back(line); });
    start();
    EMBNSLog("paid %d invoices", 3);
    platform::foundation::Log::setCapture({});
    EXPECT_EQ(lines, (std::vector<std::string> { "paid 3 invoices" }));
    EXPECT_EQ(records(path("log_a.embrecord"), "log").size(), 1u);
}

}
}
