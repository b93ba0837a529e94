// zorvik: the Zorvik app, run headless on the screen driver. `zorvik --help` tells how.

#include "Zorvik/AppDelegate.h"
#include "Zorvik/Program/CommandReader.h"
#include "Zorvik/Program/CommandSession.h"
#include "Zorvik/Program/PacedClock.h"
#include "Zorvik/Program/ProgramOptions.h"
#include "ZorvikAPI/ZorvikAPI.h"
#include "platform/foundation/Bundle.h"
#include "platform/foundation/Dictionary.h"
#include "platform/foundation/Files.h"
#include "platform/foundation/MainQueue.h"
#include "platform/foundation/ProcessInfo.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using platform::foundation::Files;
using zorvik::ProgramOptions;

/// Points the app at its resources and its device folder, and the services at their addresses.
void configure(const ProgramOptions& options)
{
    if (options.resources)
        Files::setBundleDirectory(*options.resources);
    else if (const char* bundle = std::getenv("ZORVIK_BUNDLE_DIR"); !bundle || !*bundle)
        Files::setBundleDirectory(ZORVIK_BUILD_RESOURCES_DIR);
    if (options.home)
        Files::setHomeDirectory(*options.home);
    for (const auto& [name, value] : options.serviceEnvironment())
        setenv(name.c_str(), value.c_str(), 1);
    platform::ui::Screen::configureMain(options.screen, options.scale);
}

/// What keeps the app from running on the folders it was given, or nullopt. The device's folder must be one
/// (made when missing), or nothing the app saves would outlive the run; the resources must hold the app's
/// Info.plist, without which the kits cannot start.
std::optional<std::string> unusableFolder()
{
    if (platform::foundation::Bundle::main()->infoDictionary()->empty())
        return "no app resources in " + Files::bundleDirectory().string() + " (its Info.plist is missing)";
    auto home = Files::homeDirectory();
    if (!Files::createDirectories(home))
        return "cannot use " + home.string() + " as the device's folder";
    return std::nullopt;
}

}

int main(int argc, char** argv)
{
    auto parsed = ProgramOptions::parse(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::cerr << "zorvik: " << parsed.error << " (zorvik --help tells the options)\n";
        return 2;
    }
    const auto& options = *parsed.options;
    if (options.help) {
        std::cout << ProgramOptions::helpText(zorvik::CommandSession::commandsHelp());
        return 0;
    }
    if (options.version) {
        std::printf("zorvik (ZorvikAPI %.1f)\n", ZorvikAPIVersionNumber);
        return 0;
    }

    std::ifstream scriptFile;
    if (options.script) {
        // A folder opens as a stream that ends at once, which would read as a script without commands.
        if (!Files::isDirectory(*options.script))
            scriptFile.open(*options.script);
        if (!scriptFile.is_open()) {
            std::cerr << "zorvik: cannot read the script " << *options.script << "\n";
            return 2;
        }
    }
    std::istream& commands = options.script ? scriptFile : std::cin;

    configure(options);
    if (auto problem = unusableFolder()) {
        std::cerr << "zorvik: " << *problem << "\n";
        return 2;
    }
    platform::foundation::mainQueue().claimMainThread();
    zorvik::PacedClock clock;
    zorvik::CommandSession session(
        std::cout, options.echo, [&clock](double seconds) { clock.runFor(seconds); });
    zorvik::CommandReader reader(
        commands, [&session](const std::string& line) { session.run(line); },
        [] { platform::ui::Application::shared().terminate(); });
    // applicationMain launches and activates the app before it runs the main queue, so the commands begin
    // on the first screen.
    platform::foundation::mainQueue().async([&reader] { reader.start(); });

    zorvik::AppDelegate::registerClass();
    int status = platform::ui::applicationMain(argc, argv, zorvik::AppDelegate::kClassName);
    // Work that must not be cut short (a crash report being packaged) ends before the program does.
    platform::foundation::ProcessInfo::processInfo().waitUntilActivitiesEnd();
    if (status != 0)
        return status;
    return session.failures() == 0 ? 0 : 1;
}
