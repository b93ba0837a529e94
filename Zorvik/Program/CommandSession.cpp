#include "Zorvik/Program/CommandSession.h"

#include "Zorvik/Program/KitStatus.h"

#include <ostream>

namespace zorvik {

using platform::ui::ScreenDriver;

CommandSession::CommandSession(std::ostream& output, bool echo, RealTimeWait realTimeWait)
    : m_output(output)
    , m_echo(echo)
    , m_realTimeWait(std::move(realTimeWait))
{
}

std::string CommandSession::commandsHelp()
{
    return platform::ui::ScreenDriver().execute("help")
        + "  kit                         the kit platform's state: its kits, installation and launch, "
          "settings\n";
}

void CommandSession::run(const std::string& line)
{
    auto command = ScreenDriver::parseCommand(line).text;
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
    auto [commandLine, verb, argument] = ScreenDriver::parseCommand(command);
    if (verb == "wait") {
        double seconds = ScreenDriver::parseNumber(argument, "wait");
        if (seconds < 0)
            throw platform::ui::ScreenDriverError("cannot wait a negative time");
        m_realTimeWait(seconds);
        return "";
    }
    if (verb == "help")
        return commandsHelp();
    if (verb == "kit")
        return kitStatus();
    return m_driver.execute(command);
}

}
