#include "kit/crash/tests/CrashReportingControllerFixture.h"

#include "kit/core/Cairn.h"
#include "kit/crash/EMBInternalReport.h"
#include "kit/crash/EMBUserLogging.h"
#include "kit/crash/capture/EMBContext.h"
#include "kit/crash/capture/EMBProfiling.h"
#include "kit/crash/capture/tests/CaptureChild.h"
#include "kit/crash/tests/ReportsFixture.h"
#include "kit/crash/tests/UserLoggingFixture.h"

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Application.h"
#include "platform/ui/Device.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <chrono>
#include <fstream>

namespace kit::testing {

namespace fs = std::filesystem;
using platform::foundation::Files;

std::optional<std::string> ControllerDelegate::APIKeyForCrashReportingController(EMBCrashReportingController&)
{
    return ::testing::KitService::acceptedAPIKey();
}

std::string ControllerDelegate::installIDForCrashReportingController(EMBCrashReportingController&)
{
    return "0C4F5C8E-6B1D-4F7A-9E2B-3A1D5C7E9F00";
}

EMBSettings ControllerDelegate::settingsForCrashReportingController(EMBCrashReportingController&)
{
    return EMBSettings(platformSettings ? Cairn::sharedSDK().settings() : settings);
}

void ControllerDelegate::reportingControllerInternalDidDetectReportForLastExecution(
    EMBCrashReportingController&, const std::shared_ptr<EMBInternalReport>& report)
{
    detected.push_back(report->identifier());
}

void ControllerDelegate::reportingControllerDidDetectReportForLastExecution(EMBCrashReportingController&,
    const std::shared_ptr<EMBInternalReport>& report, std::function<void(bool)> completionHandler)
{
    offered.push_back(report->identifier());
    if (answer == Answer::Wait)
        open.push_back(std::move(completionHandler));
    else
        completionHandler(answer == Answer::Send);
}

void writeAppBundle(const fs::path& bundle)
{
    std::ofstream(bundle / "Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
           "<key>CFBundleIdentifier</key><string>com.zorvik.Zorvik</string>"
           "<key>CFBundleName</key><string>Zorvik</string>"
           "<key>CFBundleVersion</key><string>7</string>"
           "<key>CFBundleShortVersionString</key><string>0.1.0</string>"
           "</dict></plist>\n";
}

void CrashReportingControllerFixture::SetUp()
{
    Files::setHomeDirectory(m_home.path());
    writeAppBundle(m_bundle.path());
    Files::setBundleDirectory(m_bundle.path());
    m_environment.set("EmberReportsEndpoint", m_backend.baseUrl());
    platform::foundation::Log::setCapture([this](const std::string& line) {
        std::lock_guard lock(m_logMutex);
        m_log.push_back(line);
    });
    Cairn::sharedSDK().reset();
    m_files = std::make_shared<EMBFileManager>();
    m_delegate->settings = m_backend.kit().settingsDocument().dictionary();
}

void CrashReportingControllerFixture::TearDown()
{
    endLaunch();
    m_window.reset();
    platform::ui::Application::shared().reset();
    platform::ui::Device::current().reset();
    platform::foundation::Log::setCapture({});
    Cairn::sharedSDK().reset();
    Files::setBundleDirectory({});
    Files::setHomeDirectory({});
}

bool CrashReportingControllerFixture::launch(
    const std::function<void(EMBCrashReportingController&)>& beforeStart)
{
    endLaunch();
    m_controller = EMBCrashReportingController::initWithFileManager(m_files, m_delegate);
    if (beforeStart)
        beforeStart(*m_controller);
    return m_controller->startWithProfilingMark(EMBProfilingStart(), "beta-token-1");
}

void CrashReportingControllerFixture::endLaunch()
{
    if (m_controller) {
        platform::foundation::mainQueue().runUntilIdle();
        m_controller->waitUntilIdle();
    }
    m_controller.reset();
    // On a busy machine capture's set-up may go on after launch(): it ends before the context goes.
    waitForCaptureSetUp();
    EMBContextBaseDeinit();
    platform::foundation::mainQueue().reset();
    Cairn::sharedSDK().reset();
}

fs::path CrashReportingControllerFixture::addEarlierReport(const std::string& name)
{
    auto path = fs::path(m_files->activePath()) / (name.empty() ? kCrashedReportIdentifier : name);
    fs::create_directories(path.parent_path());
    fs::copy(crashedReport(), path, fs::copy_options::recursive);
    return path;
}

bool CrashReportingControllerFixture::settle(const std::function<bool()>& done)
{
    return platform::foundation::mainQueue().runUntil(done, std::chrono::seconds(20));
}

bool CrashReportingControllerFixture::settleOverRetries(const std::function<bool()>& done)
{
    auto& queue = platform::foundation::mainQueue();
    for (int turn = 0; turn < 200 && !done(); ++turn) {
        queue.advance(30);
        queue.runUntil(done, std::chrono::milliseconds(100));
    }
    return done();
}

std::size_t CrashReportingControllerFixture::uploadsReceived() const
{
    auto requests = m_backend.requests();
    return std::ranges::count_if(requests,
        [](const auto& request) { return request.method == "POST" && request.path.ends_with("/reports"); });
}

std::vector<std::string> CrashReportingControllerFixture::entries(const std::string& directory)
{
    std::vector<std::string> names;
    if (!fs::is_directory(directory))
        return names;
    for (const auto& entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

std::map<std::string, std::string> CrashReportingControllerFixture::internalKeys() const
{
    if (auto* queue = EMBUserLoggingQueue())
        queue->waitUntilIdle();
    auto report = m_controller->currentReport();
    return storedKeys(report->pathForContentFile("internal_compacted_kv.embrecord"),
        report->pathForContentFile("internal_incremental_kv.embrecord"));
}

bool CrashReportingControllerFixture::logged(const std::string& part) const
{
    std::lock_guard lock(m_logMutex);
    return std::ranges::any_of(m_log, [&](const auto& line) { return line.find(part) != std::string::npos; });
}

void CrashReportingControllerFixture::showWindow()
{
    m_window = std::make_shared<platform::ui::Window>();
    platform::ui::ViewController::setRootViewController(
        *m_window, std::make_shared<platform::ui::ViewController>());
    m_window->makeKeyAndVisible();
}

std::shared_ptr<platform::ui::AlertController> CrashReportingControllerFixture::alert() const
{
    auto root = m_window ? platform::ui::ViewController::rootViewController(*m_window) : nullptr;
    return std::dynamic_pointer_cast<platform::ui::AlertController>(
        root ? root->presentedViewController() : nullptr);
}

}
