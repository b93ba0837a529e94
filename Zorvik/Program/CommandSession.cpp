#include "Zorvik/Program/CommandSession.h"

#include "Zorvik/Program/KitStatus.h"

#include "kit/crash/Ember.h"

#include <ostream>

namespace zorvik {

using platform::ui::ScreenDriver;

namespace {

// The exception must end the program as an uncaught one does, whatever handlers lie above the command.
[[noreturn]] void throwTestException() noexcept
{
    kit::Ember::sharedInstance()->throwException();
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
    return platform::ui::ScreenDriver().execute("help")
        + "  kit                         the kit platform's state: its kits, installation and launch, "
          "settings\n"
          "  crash                       the crash kit's test crash: the program dies by SIGILL\n"
          "  throw                       the crash kit's test exception: uncaught, the program aborts\n";
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
        if (argument.empty())
            throw platform::ui::ScreenDriverError("wait needs a number of seconds");
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
    if (verb == "crash")
        kit::Ember::sharedInstance()->crash();
    if (verb == "throw")
        throwTestException();
    return m_driver.execute(command);
}

}
