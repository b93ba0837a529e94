#include "kit/crash/EMBApplication.h"

#include "kit/crash/capture/EMBSDKLog.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Dictionary.h"
#include "platform/ui/Application.h"

namespace kit {

std::optional<std::string> EMBApplicationExtensionPointIdentifier()
{
    auto entry = platform::foundation::Bundle::main()->objectForInfoDictionaryKey("NSExtension");
    if (entry.isNull())
        return std::nullopt;
    auto extension = entry.dictionary();
    if (!extension) {
        EMBSDKFileLog("%s: Error: NSExtension Info.plist entry is mal-formed\n", __func__);
        return std::nullopt;
    }
    auto identifier = extension->get("NSExtensionPointIdentifier");
    if (!identifier.string()) {
        EMBSDKFileLog("%s: Error: NSExtensionPointIdentifier Info.plist entry is mal-formed\n", __func__);
        return std::nullopt;
    }
    return *identifier.string();
}

bool EMBApplicationIsExtension()
{
    return EMBApplicationExtensionPointIdentifier().has_value();
}

void EMBApplicationOpenURL(const std::string& url, const std::function<void(bool opened)>& completion)
{
    bool opened = platform::ui::Application::shared().openURL(url);
    if (completion)
        completion(opened);
}

}
