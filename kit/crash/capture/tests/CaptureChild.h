#pragma once

#include "kit/crash/capture/EMBContext.h"
#include "testing/ChildProcess.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kit::testing {

/// What a crash child does once capture is set up in its report directory, and what it does before.
struct CaptureScenario {
    std::function<void()> run;
    std::function<void()> beforeSetUp;
};

/// The scenarios a crash child can run, by name.
std::map<std::string, CaptureScenario>& captureScenarios();

/// Adds a scenario at start-up: `const CaptureScenarioRegistration r("name", [] { ... });`.
struct CaptureScenarioRegistration {
    CaptureScenarioRegistration(
        const std::string& name, std::function<void()> run, std::function<void()> beforeSetUp = {});
};

/// In the child: what capture is set up with; a scenario's `beforeSetUp` may change it.
EMBContextInitParameters& captureParameters();

/// How long a test waits for a crash child to say something or to end before it gives up on it. Only a
/// child that hangs ever meets it: it is far above what a child takes on a machine busy with many test
/// programs (ASan, gdb starting), and below the suite's time limit for a test.
inline constexpr std::chrono::seconds kCaptureChildLimit { 60 };

/// Waits until capture's set-up has finished (EMBContextIsInitialized()), for up to kCaptureChildLimit.
/// EMBContextInitialize() waits for it only so long, as an app's launch does; on a busy machine the rest
/// ends later, and a test that checks what set-up did waits for that end. Returns whether it came; at once
/// when set-up never began.
bool waitForCaptureSetUp();

/// How a crash child is started.
struct CaptureChildOptions {
    /// Custom exceptions kept per file; 0 keeps none.
    unsigned maximumCustomExceptions { 0 };
    /// Runs the child under gdb (batch mode), so that it starts with a debugger attached.
    bool underDebugger { false };
};

/// The command that runs the test `testName` of this test binary (also a disabled one) as a child with
/// `environment` ("NAME=value" entries) added, the sanitizers' own signal handling and leak check off so that
/// crash capture's handlers are the ones that run; under gdb (batch mode) with `underDebugger`.
std::vector<std::string> crashChildCommand(
    const std::string& testName, std::vector<std::string> environment, bool underDebugger = false);

/// Starts this test binary as a child that sets up crash capture with `directory` as its report directory
/// and runs the scenario `name`, with the sanitizers' own signal handling off so that the capture handlers
/// are the ones that run. What the scenario prints arrives on the child's standard output.
std::unique_ptr<::testing::ChildProcess> startCaptureChild(
    const std::string& name, const std::filesystem::path& directory, const CaptureChildOptions& options = {});

/// In the child: writes `line` to standard output for the parent, marked apart from the test runner's own.
void say(const std::string& line);
/// In the parent: the next line the scenario said, or nullopt when none came within kCaptureChildLimit.
std::optional<std::string> scenarioLine(::testing::ChildProcess& child);
/// In the parent: everything the scenario said until the child ended, one line feed after each line.
std::string scenarioOutput(::testing::ChildProcess& child);

/// The image of a crashed child's "load" records (binary_images.embrecord) that holds `address`: its path,
/// and through `offset` the address's distance from the image's start; "" when none holds it.
std::string imageHolding(
    const std::filesystem::path& directory, std::uint64_t address, std::uint64_t* offset);

/// The "threads" record's thread marked as crashed, or null.
nlohmann::json crashedThread(const std::vector<nlohmann::json>& records);

/// Each line of a record file parsed as JSON (lines that do not parse are left out).
std::vector<nlohmann::json> readRecords(const std::filesystem::path& file);

}
