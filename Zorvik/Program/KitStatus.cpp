#include "Zorvik/Program/KitStatus.h"

#include "kit/core/CRNSettingsOnboardingManager.h"
#include "kit/core/Cairn.h"
#include "kit/crash/EMBFileManager.h"
#include "kit/crash/EMBInternalReport.h"
#include "kit/crash/Ember.h"

#include "platform/foundation/Dictionary.h"

namespace zorvik {
namespace {

std::string crashKitStatus()
{
    auto ember = kit::Ember::sharedInstance();
    auto controller = ember->crashReportingController();
    auto report = controller ? controller->currentReport() : nullptr;
    if (!ember->isCrashReportingRunning() || !report)
        return "ember: off\n";
    const auto& files = *controller->fileManager();
    return "ember: on, report " + report->identifier() + ", waiting "
        + std::to_string(files.activePathContents().size()) + "/"
        + std::to_string(files.processingPathContents().size()) + "/"
        + std::to_string(files.preparedPathContents().size()) + "\n";
}

}

std::string kitStatus()
{
    auto& platform = kit::Cairn::sharedSDK();
    std::string text;
    if (platform.isStarted()) {
        std::string names;
        for (const auto& kitClass : platform.kitClasses())
            names += (names.empty() ? "" : ", ") + kitClass->name();
        text += "kit: started with " + (names.empty() ? std::string("no kits") : names) + "\n";
    } else {
        text += "kit: not started\n";
    }
    text += "kit: installation " + platform.installID() + ", "
        + (platform.isFirstInstall() ? "made at this launch" : "kept from an earlier launch") + "\n";
    text += "kit: launch " + platform.executionIdentifier() + ", instance "
        + platform.instanceIdentifier().value_or("none") + "\n";
    if (auto settings = platform.settings()) {
        auto app = settings->get("app").dictionary();
        auto status = app ? app->get("status").stringValue() : std::string();
        // Settings an earlier launch saved stand in while this launch's download has not succeeded.
        auto manager = platform.settingsAndOnboardingManager();
        bool downloaded = manager && manager->hasDownloadedSettings();
        text += std::string("kit: settings ") + (downloaded ? "downloaded" : "kept from an earlier launch")
            + ", app " + (status.empty() ? "unknown" : status) + "\n";
    } else {
        text += "kit: settings not downloaded\n";
    }
    return text + crashKitStatus();
}

}
