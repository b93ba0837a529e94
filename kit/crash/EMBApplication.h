#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kit {

// What the crash kit asks of the app it runs in. The app is either an application or an application
// extension, told apart by the main bundle's "NSExtension" entry.

/// The main bundle's "NSExtension"."NSExtensionPointIdentifier", or nullopt for an application. A malformed
/// entry is written to the SDK log and counts as none.
std::optional<std::string> EMBApplicationExtensionPointIdentifier();

/// Whether the process is an application extension.
bool EMBApplicationIsExtension();

/// Asks the application object to open `url` outside the app and tells `completion` whether it did. Main
/// queue only.
void EMBApplicationOpenURL(const std::string& url, const std::function<void(bool opened)>& completion);

}
