#include "Zorvik/Program/KitStatus.h"

#include "kit/core/Cairn.h"

#include "platform/foundation/Dictionary.h"

namespace zorvik {

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
    auto settings = platform.settings();
    if (!settings)
        return text + "kit: settings not downloaded\n";
    auto app = settings->get("app").dictionary();
    auto status = app ? app->get("status").stringValue() : std::string();
    return text + "kit: settings downloaded, app " + (status.empty() ? "unknown" : status) + "\n";
}

}
