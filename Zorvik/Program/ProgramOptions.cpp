#include "Zorvik/Program/ProgramOptions.h"

#include "platform/ui/Screen.h"

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <utility>

namespace zorvik {

namespace {

struct ScreenChoice {
    const char* name;
    platform::ui::Size size;
    double scale;
};

constexpr std::array<ScreenChoice, 4> kScreens { {
    { "320x480", platform::ui::Screen::size320x480, 2 },
    { "320x568", platform::ui::Screen::size320x568, 2 },
    { "375x667", platform::ui::Screen::size375x667, 2 },
    { "414x736", platform::ui::Screen::size414x736, 3 },
} };

// Whether libcurl reads `url` as a whole URL with a host (and a port, when one is given, that is a number
// within range).
bool hasHost(const std::string& url)
{
    CURLU* parsed = curl_url();
    char* host = nullptr;
    bool found = parsed && curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK
        && curl_url_get(parsed, CURLUPART_HOST, &host, 0) == CURLUE_OK && host && *host;
    curl_free(host);
    curl_url_cleanup(parsed);
    return found;
}

std::string withoutTrailingSlashes(std::string url)
{
    while (!url.empty() && url.back() == '/')
        url.pop_back();
    return url;
}

}

ParsedProgramOptions ProgramOptions::parse(const std::vector<std::string>& arguments)
{
    ProgramOptions options;
    const std::vector<std::pair<std::string, std::optional<std::string> ProgramOptions::*>> urls {
        { "--backend", &ProgramOptions::backend },
        { "--api-url", &ProgramOptions::apiUrl },
        { "--companies-url", &ProgramOptions::companiesUrl },
        { "--config-url", &ProgramOptions::configUrl },
        { "--photo-url", &ProgramOptions::photoUrl },
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            continue;
        }
        if (argument == "--version") {
            options.version = true;
            continue;
        }
        if (argument == "--echo") {
            options.echo = true;
            continue;
        }
        if (argument == "-" || !argument.starts_with("-")) {
            if (options.script)
                return { std::nullopt, "more than one script: " + *options.script + " and " + argument };
            options.script = argument;
            continue;
        }
        bool takesURL
            = std::any_of(urls.begin(), urls.end(), [&](const auto& url) { return url.first == argument; });
        if (!takesURL && argument != "--home" && argument != "--resources" && argument != "--script"
            && argument != "--screen")
            return { std::nullopt, "unknown option " + argument };
        if (i + 1 >= arguments.size() || arguments[i + 1].empty())
            return { std::nullopt, argument + " needs a value" };
        const std::string& value = arguments[++i];
        if (argument == "--home") {
            options.home = value;
        } else if (argument == "--resources") {
            options.resources = value;
        } else if (argument == "--script") {
            if (options.script)
                return { std::nullopt, "more than one script: " + *options.script + " and " + value };
            options.script = value;
        } else if (argument == "--screen") {
            auto choice = std::find_if(
                kScreens.begin(), kScreens.end(), [&](const auto& screen) { return value == screen.name; });
            if (choice == kScreens.end())
                return { std::nullopt,
                    "--screen takes 320x480, 320x568, 375x667 or 414x736, not \"" + value + "\"" };
            options.screen = choice->size;
            options.scale = choice->scale;
        } else {
            if (!value.starts_with("http://") && !value.starts_with("https://"))
                return { std::nullopt,
                    argument + " needs an http:// or https:// URL, not \"" + value + "\"" };
            if (!hasHost(value))
                return { std::nullopt,
                    argument + " needs a whole URL with a host, such as http://127.0.0.1:8080, not \"" + value
                        + "\"" };
            for (const auto& [name, member] : urls) {
                if (argument == name)
                    options.*member = value;
            }
        }
    }
    if (options.script == "-")
        options.script.reset();
    return { options, {} };
}

std::map<std::string, std::string> ProgramOptions::serviceEnvironment() const
{
    std::map<std::string, std::string> environment;
    if (backend) {
        std::string root = withoutTrailingSlashes(*backend);
        environment["ZORVIK_API_URL"] = root + "/";
        environment["ZORVIK_COMPANIES_URL"] = root + "/";
        environment["ZORVIK_CONFIG_URL"] = root + "/";
        environment["ZORVIK_PHOTO_URL"] = root;
        environment["ZORVIK_KIT_REPORTS_URL"] = root;
        environment["ZORVIK_KIT_BETA_URL"] = root;
        environment["ZORVIK_KIT_SETTINGS_URL"] = root;
        environment["ZORVIK_KIT_CONFIGURE_URL"] = root;
        environment["ZORVIK_WAYFINDER_URL"] = root;
    }
    if (apiUrl)
        environment["ZORVIK_API_URL"] = *apiUrl;
    if (companiesUrl)
        environment["ZORVIK_COMPANIES_URL"] = *companiesUrl;
    if (configUrl)
        environment["ZORVIK_CONFIG_URL"] = *configUrl;
    if (photoUrl)
        environment["ZORVIK_PHOTO_URL"] = *photoUrl;
    return environment;
}

std::string ProgramOptions::helpText(const std::string& commands)
{
    return "usage: zorvik [options] [script]\n"
           "\n"
           "Runs the Zorvik app headless: it launches, then reads commands, one a line, from the script "
           "file\n"
           "(or standard input) and acts on the screen as a person would, printing what the commands print.\n"
           "It ends at the end of the commands: exit status 0 when every command worked, 1 when any failed,\n"
           "2 for bad options, or a script, device folder or resources it cannot use.\n"
           "\n"
           "options:\n"
           "  --script <file>           read the commands from <file> (\"-\": standard input, the default);\n"
           "                            a script may also be given as the one plain argument\n"
           "  --echo                    print each command, after \"> \", before what it prints\n"
           "  --home <folder>           the device's folder, holding Documents/ and Library/ (default:\n"
           "                            $ZORVIK_HOME, else $XDG_DATA_HOME/zorvik, else "
           "~/.local/share/zorvik)\n"
           "  --resources <folder>      the app's resources (default: $ZORVIK_BUNDLE_DIR, else the build's\n"
           "                            resource folder)\n"
           "  --screen <size>           320x480, 320x568 (the default), 375x667 or 414x736 points\n"
           "  --backend <url>           the back-end for every service: REST API, company search,\n"
           "                            configuration, photo storage and the kit services (settings,\n"
           "                            app registration, crash reports) and the attribution service\n"
           "                            (as zorvik-backend serves them)\n"
           "  --api-url <url>           the REST API's base URL          (else $ZORVIK_API_URL)\n"
           "  --companies-url <url>     the company search's root URL    (else $ZORVIK_COMPANIES_URL)\n"
           "  --config-url <url>        the remote configuration's URL   (else $ZORVIK_CONFIG_URL)\n"
           "  --photo-url <url>         the photo storage's base URL     (else $ZORVIK_PHOTO_URL)\n"
           "                            without any of these, the build's addresses are used\n"
           "  --version                 print the version and stop\n"
           "  --help, -h                print this help and stop\n"
           "\n"
        + commands
        + "\n"
          "Lines that are blank or start with # are skipped. A command that fails prints \"error: \" and "
          "why,\n"
          "and the next one runs.\n"
          "\n"
          "time:\n"
          "  The app's clock starts at the computer's time and runs with it. \"wait N\" lets N seconds pass "
          "in\n"
          "  real time, so that the back-end's answers arrive meanwhile. \"background N\" sends the app to "
          "the\n"
          "  background and brings it back N seconds later on the app's clock, at once, without waiting.\n";
}

}
