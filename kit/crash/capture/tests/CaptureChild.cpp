#include "kit/crash/capture/tests/CaptureChild.h"

#include "kit/crash/capture/EMBBinaryImage.h"
#include "kit/crash/capture/EMBContext.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <string_view>
#include <thread>
#include <unistd.h>

namespace kit::testing {
namespace {

constexpr const char* kScenarioVariable { "ZORVIK_CAPTURE_SCENARIO" };
constexpr const char* kDirectoryVariable { "ZORVIK_CAPTURE_DIRECTORY" };
constexpr const char* kCustomExceptionsVariable { "ZORVIK_CAPTURE_CUSTOM_EXCEPTIONS" };
constexpr std::string_view kSaid { "scenario: " };

}

std::map<std::string, CaptureScenario>& captureScenarios()
{
    static std::map<std::string, CaptureScenario> scenarios;
    return scenarios;
}

CaptureScenarioRegistration::CaptureScenarioRegistration(
    const std::string& name, std::function<void()> run, std::function<void()> beforeSetUp)
{
    captureScenarios().emplace(name, CaptureScenario { std::move(run), std::move(beforeSetUp) });
}

std::vector<std::string> crashChildCommand(
    const std::string& testName, std::vector<std::string> environment, bool underDebugger)
{
    char self[PATH_MAX] {};
    if (readlink("/proc/self/exe", self, sizeof self - 1) < 0)
        return {};
    std::vector<std::string> arguments { "/usr/bin/env",
        "ASAN_OPTIONS=handle_segv=0:handle_sigbus=0:handle_sigfpe=0:handle_sigill=0:handle_abort=0:"
        "use_sigaltstack=0:detect_leaks=0:abort_on_error=1" };
    arguments.insert(arguments.end(), environment.begin(), environment.end());
    if (underDebugger) {
        // Without reading debugging information the debugger starts the program at once.
        arguments.insert(arguments.end(),
            { "gdb", "-batch", "-nx", "-q", "--readnever", "-iex", "set auto-solib-add off", "-ex", "run",
                "--args" });
    }
    arguments.insert(arguments.end(),
        { self, "--gtest_also_run_disabled_tests", "--gtest_catch_exceptions=0",
            "--gtest_filter=" + testName });
    return arguments;
}

std::unique_ptr<::testing::ChildProcess> startCaptureChild(
    const std::string& name, const std::filesystem::path& directory, const CaptureChildOptions& options)
{
    auto arguments = crashChildCommand("CaptureChild.DISABLED_Run",
        { std::string(kScenarioVariable) + "=" + name,
            std::string(kDirectoryVariable) + "=" + directory.string(),
            std::string(kCustomExceptionsVariable) + "=" + std::to_string(options.maximumCustomExceptions) },
        options.underDebugger);
    if (arguments.empty())
        return nullptr;
    return std::make_unique<::testing::ChildProcess>(arguments);
}

bool waitForCaptureSetUp()
{
    auto limit = std::chrono::steady_clock::now() + kCaptureChildLimit;
    while (!EMBContextIsInitialized()) {
        if (EMBCurrentContext().readOnly.load() == nullptr || std::chrono::steady_clock::now() >= limit)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

EMBContextInitParameters& captureParameters()
{
    static EMBContextInitParameters params;
    return params;
}

void say(const std::string& line)
{
    std::string text = std::string(kSaid) + line + "\n";
    (void)!write(STDOUT_FILENO, text.data(), text.size());
}

std::optional<std::string> scenarioLine(::testing::ChildProcess& child)
{
    while (auto line = child.readLine(kCaptureChildLimit)) {
        if (line->starts_with(kSaid))
            return line->substr(kSaid.size());
    }
    return std::nullopt;
}

std::string scenarioOutput(::testing::ChildProcess& child)
{
    std::string said;
    std::string all = child.readAll(kCaptureChildLimit);
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find('\n', start);
        std::string line = all.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (line.starts_with(kSaid))
            said += line.substr(kSaid.size()) + "\n";
        start = end == std::string::npos ? all.size() : end + 1;
    }
    return said;
}

std::vector<nlohmann::json> readRecords(const std::filesystem::path& file)
{
    std::vector<nlohmann::json> records;
    std::ifstream input(file);
    std::string line;
    while (std::getline(input, line)) {
        auto record = nlohmann::json::parse(line, nullptr, false);
        if (!record.is_discarded())
            records.push_back(std::move(record));
    }
    return records;
}

std::string imageHolding(const std::filesystem::path& directory, std::uint64_t address, std::uint64_t* offset)
{
    for (const auto& record : readRecords(directory / "binary_images.embrecord")) {
        if (!record.contains("load"))
            continue;
        const auto& load = record["load"];
        std::uint64_t base = load["base"];
        std::uint64_t size = load["size"];
        if (address >= base && address < base + size) {
            if (offset != nullptr)
                *offset = address - base;
            return load["path"];
        }
    }
    return {};
}

nlohmann::json crashedThread(const std::vector<nlohmann::json>& records)
{
    for (const auto& record : records) {
        if (!record.contains("threads"))
            continue;
        for (const auto& thread : record["threads"]) {
            if (thread.value("crashed", false))
                return thread;
        }
    }
    return nullptr;
}

// The child's side: set up capture as the crash reporting controller does, then run the scenario.
TEST(CaptureChild, DISABLED_Run)
{
    const char* name = std::getenv(kScenarioVariable);
    const char* directory = std::getenv(kDirectoryVariable);
    ASSERT_NE(name, nullptr);
    ASSERT_NE(directory, nullptr);
    auto scenario = captureScenarios().find(name);
    ASSERT_NE(scenario, captureScenarios().end()) << name;
    const char* customExceptions = std::getenv(kCustomExceptionsVariable);
    EMBContextInitParameters& params = captureParameters();
    params.apiKey = "0123456789abcdef0123456789abcdef01234567";
    params.reportDirectory = directory;
    params.reportIdentifier = "7d3c2a10b1e44c5f9c8e2f6a5b4d3c21";
    params.installIdentifier = "0C4F5C8E-6B1D-4F7A-9E2B-3A1D5C7E9F00";
    params.customExceptionsEnabled = customExceptions != nullptr && std::atoi(customExceptions) > 0;
    params.maximumCustomExceptions = customExceptions != nullptr ? unsigned(std::atoi(customExceptions)) : 0;
    if (scenario->second.beforeSetUp)
        scenario->second.beforeSetUp();
    EMBContextInitialize(&params);
    // Set-up and the images' records go on on queues of their own: a scenario crashes a program that has
    // run long enough to have them done and on disk, as an app has by the time it crashes.
    waitForCaptureSetUp();
    EMBBinaryImageWaitForRecords();
    scenario->second.run();
}

}
