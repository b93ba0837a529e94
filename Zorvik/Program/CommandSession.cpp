#include "Zorvik/Program/CommandSession.h"

#include "Zorvik/Controllers/AppController.h"
#include "Zorvik/DeviceStorage/FileStore.h"

#include <cmath>
#include <cstdlib>
#include <ostream>

namespace zorvik {

namespace {

std::string trimmed(const std::string& text)
{
    auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

}

CommandSession::CommandSession(std::ostream& output, bool echo, RealTimeWait realTimeWait)
    : m_output(output)
    , m_echo(echo)
    , m_realTimeWait(std::move(realTimeWait))
{
}

std::string CommandSession::commandsHelp()
{
    auto commands = platform::ui::ScreenDriver().execute("help");
    return commands + "  user <e-mail>               write the \"user\" file, as sign-up and log-in do\n";
}

void CommandSession::run(const std::string& line)
{
    std::string command = trimmed(line);
    if (m_echo && !command.empty())
        m_output << "> " << command << "\n";
    try {
        m_output << execute(command);
    } catch (const std::exception& error) {
        ++m_failures;
        m_output << "error: " << error.what() << "\n";
    }
    m_output.flush();
}

std::string CommandSession::execute(const std::string& command)
{
    if (command.empty() || command[0] == '#')
        return "";
    auto space = command.find(' ');
    std::string verb = command.substr(0, space);
    std::string argument = space == std::string::npos ? "" : trimmed(command.substr(space + 1));

    if (verb == "wait") {
        if (argument.empty())
            throw platform::ui::ScreenDriverError("wait needs a number of seconds");
        char* end = nullptr;
        double seconds = std::strtod(argument.c_str(), &end);
        if (end != argument.c_str() + argument.size() || !std::isfinite(seconds))
            throw platform::ui::ScreenDriverError("wait needs a number, not \"" + argument + "\"");
        if (seconds < 0)
            throw platform::ui::ScreenDriverError("cannot wait a negative time");
        m_realTimeWait(seconds);
        return "";
    }
    if (verb == "user") {
        if (argument.empty())
            throw platform::ui::ScreenDriverError("user needs the e-mail address to write");
        FileStore files;
        files.saveToFile(AppController::kUserFileName, argument);
        if (files.readFromFile(AppController::kUserFileName) != argument)
            throw platform::ui::ScreenDriverError("cannot write the \"user\" file in Documents");
        return "";
    }
    if (verb == "help")
        return commandsHelp();
    return m_driver.execute(command);
}

}
