#pragma once

#include "kit/crash/EMBCrashReportingController.h"
#include "kit/crash/EMBFileManager.h"
#include "testing/ScopedEnvironment.h"
#include "testing/TemporaryDirectory.h"
#include "testing/backend/Backend.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {
class AlertController;
class Window;
}

namespace kit::testing {

/// The crash kit's facade as the controller sees it: the test back-end's key, the settings a test gives, and
/// what the app answers when an earlier report is offered to it.
class ControllerDelegate final : public EMBCrashReportingControllerDelegate {
public:
    /// The app's answer to an offered report: send it, delete it, or keep the question open.
    enum class Answer { Send, Delete, Wait };

    std::optional<std::string> APIKeyForCrashReportingController(EMBCrashReportingController&) override;
    std::string installIDForCrashReportingController(EMBCrashReportingController&) override;
    bool isFirstInstallForCrashReportingController(EMBCrashReportingController&) override { return true; }
    EMBSettings settingsForCrashReportingController(EMBCrashReportingController&) override;
    bool reportingControllerMustInformDelegateOfReports(EMBCrashReportingController&) override
    {
        return takesReports;
    }
    void reportingControllerInternalDidDetectReportForLastExecution(
        EMBCrashReportingController&, const std::shared_ptr<EMBInternalReport>& report) override;
    void reportingControllerDidDetectReportForLastExecution(EMBCrashReportingController&,
        const std::shared_ptr<EMBInternalReport>& report,
        std::function<void(bool)> completionHandler) override;

    /// The downloaded settings (null: none yet).
    platform::foundation::DictionaryRef settings;
    bool takesReports { false };
    Answer answer { Answer::Send };
    /// The identifiers of the reports told of, and of those offered, in order.
    std::vector<std::string> detected;
    std::vector<std::string> offered;
    /// The completion handlers of questions kept open.
    std::vector<std::function<void(bool)>> open;
};

/// An app on a fresh device (its own home, a bundle "com.zorvik.Zorvik", the report endpoint on a local
/// back-end, the log captured) whose launches a test runs one after another in this process: each launch is
/// a new execution with a new controller, and ends as a process would (capture taken down, the main queue's
/// pending work dropped).
class CrashReportingControllerFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// Starts a launch; answers what start answered.
    bool launch();
    /// Ends the running launch, if any, after its main queue's due work has run.
    void endLaunch();

    /// Copies the report a crashed test program left into active under `name` (its own identifier unless
    /// given), as an earlier launch would have left it; answers its path.
    std::filesystem::path addEarlierReport(const std::string& name = "");
    /// Turns the main queue until `done` (within 20 seconds of real time).
    static bool settle(const std::function<bool()>& done);
    /// Turns the main queue until `done`, moving its clock on 30 seconds at a time over upload retries.
    static bool settleOverRetries(const std::function<bool()>& done);
    /// The reports the back-end stored.
    std::vector<::testing::CrashReport> stored() { return m_backend.crashReports().reports(); }
    /// The number of report uploads the back-end received, answered or not.
    std::size_t uploadsReceived() const;
    /// The entries of one of the report directories.
    static std::vector<std::string> entries(const std::string& directory);
    /// The internal keys of this launch's report, once the logging queue has written them.
    std::map<std::string, std::string> internalKeys() const;
    /// Whether a logged line holds `part`.
    bool logged(const std::string& part) const;

    /// A key window with a plain root screen, for the send-report prompt.
    void showWindow();
    /// The alert over the root screen, or null.
    std::shared_ptr<platform::ui::AlertController> alert() const;

    ::testing::TemporaryDirectory m_home;
    ::testing::TemporaryDirectory m_bundle;
    ::testing::ScopedEnvironment m_environment;
    ::testing::Backend m_backend;
    std::shared_ptr<ControllerDelegate> m_delegate { std::make_shared<ControllerDelegate>() };
    std::shared_ptr<EMBFileManager> m_files;
    std::shared_ptr<EMBCrashReportingController> m_controller;
    std::shared_ptr<platform::ui::Window> m_window;

private:
    mutable std::mutex m_logMutex;
    std::vector<std::string> m_log;
};

/// Writes the Info.plist of the app "com.zorvik.Zorvik" into `bundle`.
void writeAppBundle(const std::filesystem::path& bundle);

}
