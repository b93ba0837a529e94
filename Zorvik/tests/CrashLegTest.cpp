#include "Zorvik/tests/ZorvikRun.h"

#include "platform/foundation/Array.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Json.h"
#include "testing/TemporaryDirectory.h"
#include "testing/backend/Backend.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace zorvik::test {
namespace {

using namespace std::chrono_literals;
using platform::foundation::DictionaryRef;
using platform::foundation::Value;
using ::testing::CrashReport;

constexpr const char* kReportsRoute { "/sdk-api/v1/platforms/:platform/apps/:app/reports" };

/// What the crash kit's line of the `kit` command says.
struct CrashKitLine {
    std::string report;
    std::string waiting;
};

std::optional<CrashKitLine> crashKitLine(const std::string& output)
{
    auto lines = linesAfter(output, "ember: on, report ");
    if (lines.empty())
        return std::nullopt;
    const std::string& line = lines.front();
    const std::string waiting = ", waiting ";
    auto comma = line.find(waiting);
    if (comma != 32 || line.find_first_not_of("0123456789abcdef") != comma)
        return std::nullopt;
    return CrashKitLine { line.substr(0, comma), line.substr(comma + waiting.size()) };
}

/// The records of a record file part: one JSON object per line.
std::vector<DictionaryRef> records(const CrashReport& report, const std::string& part)
{
    std::vector<DictionaryRef> found;
    const auto* file = report.file(part);
    std::istringstream lines(file ? file->data : "");
    for (std::string line; std::getline(lines, line);) {
        if (auto record = platform::foundation::parseJson(line).value.dictionary())
            found.push_back(record);
    }
    return found;
}

/// The first record named `name` among `records`, or null.
Value firstRecord(const std::vector<DictionaryRef>& records, const std::string& name)
{
    for (const auto& record : records) {
        if (auto value = record->get(name); !value.isNull())
            return value;
    }
    return {};
}

/// The top frame of the crashed thread as the device named it: "<symbol> in <library>".
std::string crashedTopFrame(const CrashReport& report)
{
    auto threads = firstRecord(records(report, "signal.embrecord"), "threads").array();
    auto named = firstRecord(records(report, "signal.embrecord.symbolicated"), "threads").array();
    if (!threads || !named)
        return "no threads";
    for (std::size_t i = 0; i < threads->size() && i < named->size(); ++i) {
        auto thread = threads->at(i).dictionary();
        auto frames = named->at(i).array();
        if (!thread || !thread->get("crashed").boolValue() || !frames || frames->size() == 0)
            continue;
        auto top = frames->at(0).dictionary();
        return top->get("symbol").stringValue() + " in " + top->get("library").stringValue();
    }
    return "no crashed thread";
}

std::string hexDecoded(const std::string& hex)
{
    std::string text;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        text.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return text;
}

/// An app on one device folder against a local back-end, launched again and again as a person would.
class CrashLegTest : public ::testing::Test {
protected:
    ProgramRun launch(const std::string& commands)
    {
        return runZorvik({ "--backend", m_backend.baseUrl(), "--home", m_home.path() }, commands);
    }

    /// The reports the back-end stored under `identifier`, once there is one (or after 60 seconds).
    std::vector<CrashReport> storedReports(const std::string& identifier)
    {
        for (int turn = 0; turn < 600; ++turn) {
            if (auto stored = m_backend.crashReports().reportsWithIdentifier(identifier); !stored.empty())
                return stored;
            std::this_thread::sleep_for(100ms);
        }
        return {};
    }

    /// Runs the app until it dies by `signal` on its fault command; answers its launch's report identifier.
    std::string crashingLaunch(const std::string& fault, int signal)
    {
        auto run = launch("kit\n" + fault + "\n");
        EXPECT_EQ(run.signal, signal) << run.output;
        auto line = crashKitLine(run.output);
        EXPECT_TRUE(line) << run.output;
        return line ? line->report : "";
    }

    /// The device's crash report directories.
    std::filesystem::path reportsRoot() const
    {
        return m_home.path() / "Library" / "Caches" / "com.ember.data" / "com.zorvik.Zorvik" / "v3";
    }

    static std::vector<std::filesystem::path> entries(const std::filesystem::path& directory)
    {
        std::vector<std::filesystem::path> found;
        for (const auto& entry : std::filesystem::directory_iterator(directory))
            found.push_back(entry.path());
        return found;
    }

    std::size_t uploadsReceived() const
    {
        auto requests = m_backend.requests();
        return std::ranges::count_if(requests, [](const auto& request) {
            return request.method == "POST" && request.path.ends_with("/reports");
        });
    }

    ::testing::Backend m_backend;
    ::testing::TemporaryDirectory m_home;
};

TEST_F(CrashLegTest, TheTestCrashIsSentByTheNextLaunchNamedByTheLaunchThatCrashed)
{
    auto crashed = crashingLaunch("crash", SIGILL);
    ASSERT_FALSE(crashed.empty());

    auto next = launch("wait 2\nkit\n");
    EXPECT_EQ(next.status, 0) << next.output;
    auto line = crashKitLine(next.output);
    ASSERT_TRUE(line) << next.output;
    EXPECT_NE(line->report, crashed) << "each launch has a report of its own";

    auto stored = storedReports(crashed);
    ASSERT_EQ(stored.size(), 1u) << "sent once";
    const auto& report = stored.front();
    EXPECT_EQ(report.app, "com.zorvik.Zorvik");
    ASSERT_FALSE(report.files.empty());
    for (const auto& file : report.files) {
        EXPECT_EQ(file.contentType, "application/x-gzip") << file.name;
        EXPECT_FALSE(file.data.empty()) << file.name << " inflates to its record file";
    }
    auto threads = firstRecord(records(report, "signal.embrecord"), "threads").array();
    ASSERT_TRUE(threads && threads->size() > 0) << "the crash record holds the threads";
    // The device symbolicates the report before sending it: frame 0 is named.
    EXPECT_NE(report.file("signal.embrecord.symbolicated"), nullptr);
    EXPECT_EQ(crashedTopFrame(report), "kit::Ember::crash() in zorvik");
}

TEST_F(CrashLegTest, TheTestExceptionIsRecordedAsCppAndEndsTheAppByAbort)
{
    auto crashed = crashingLaunch("throw", SIGABRT);
    ASSERT_FALSE(crashed.empty());
    EXPECT_EQ(launch("wait 2\n").status, 0);

    auto stored = storedReports(crashed);
    ASSERT_FALSE(stored.empty());
    auto exception = firstRecord(records(stored.front(), "exception.embrecord"), "exception").dictionary();
    ASSERT_NE(exception, nullptr);
    EXPECT_EQ(exception->get("type").stringValue(), "c++");
    EXPECT_EQ(hexDecoded(exception->get("reason").stringValue()), "Ember C++ Test Exception");
}

TEST_F(CrashLegTest, AReportTheBackEndRefusesWaitsForTheNextLaunch)
{
    auto crashed = crashingLaunch("crash", SIGILL);
    ASSERT_FALSE(crashed.empty());

    m_backend.failRoute("POST", kReportsRoute, 500);
    auto refused = launch("wait 2\n");
    EXPECT_EQ(refused.status, 0) << refused.output;
    EXPECT_TRUE(m_backend.crashReports().reports().empty());
    EXPECT_GE(uploadsReceived(), 1u);
    EXPECT_EQ(entries(reportsRoot() / "prepared").size(), 1u) << "the package waits";

    m_backend.clearHooks();
    auto next = launch("wait 2\nkit\n");
    EXPECT_EQ(next.status, 0) << next.output;
    EXPECT_EQ(storedReports(crashed).size(), 1u);
}

}
}
