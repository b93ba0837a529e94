#pragma once

#include "platform/ui/Geometry.h"

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zorvik {

struct ParsedProgramOptions;

/// What the `zorvik` program was asked to do, from its command line.
struct ProgramOptions {
    /// The device's folder (Documents and Library go in it), when given.
    std::optional<std::filesystem::path> home;
    /// The app's resource folder, when given.
    std::optional<std::filesystem::path> resources;
    /// The file to read commands from; nullopt (or "-") for standard input.
    std::optional<std::string> script;
    /// The one back-end for everything (REST API, company search, configuration, photo storage), when given.
    std::optional<std::string> backend;
    /// Each service's address, when given; these win over `backend`.
    std::optional<std::string> apiUrl;
    std::optional<std::string> companiesUrl;
    std::optional<std::string> configUrl;
    std::optional<std::string> photoUrl;
    /// The screen's size in points and its scale.
    platform::ui::Size screen { 320, 568 };
    double scale { 2 };
    /// Whether each command is printed, after "> ", before what it prints.
    bool echo { false };
    /// Whether the program only prints its help, or only its version.
    bool help { false };
    bool version { false };

    /// Parses the program's arguments (without the program's name).
    static ParsedProgramOptions parse(const std::vector<std::string>& arguments);

    /// The environment variables (BuildSettings' names) that carry the back-end addresses asked for: with
    /// `backend`, all four services on it; then each address given on its own.
    std::map<std::string, std::string> serviceEnvironment() const;

    /// The program's help: its options, then `commands` (the commands it takes, as the help command prints
    /// them), then how time passes.
    static std::string helpText(const std::string& commands);
};

/// The outcome of parsing the program's arguments: the options, or what was wrong.
struct ParsedProgramOptions {
    std::optional<ProgramOptions> options;
    std::string error;
};

}
