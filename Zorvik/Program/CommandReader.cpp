#include "Zorvik/Program/CommandReader.h"

#include "platform/foundation/MainQueue.h"

#include <future>
#include <istream>

namespace zorvik {

CommandReader::CommandReader(
    std::istream& input, std::function<void(const std::string& line)> runLine, std::function<void()> finished)
    : m_input(input)
    , m_runLine(std::move(runLine))
    , m_finished(std::move(finished))
{
}

CommandReader::~CommandReader()
{
    if (m_thread.joinable())
        m_thread.join();
}

void CommandReader::start()
{
    if (!m_thread.joinable())
        m_thread = std::thread([this] { read(); });
}

void CommandReader::read()
{
    auto& queue = platform::foundation::mainQueue();
    std::string line;
    while (std::getline(m_input, line)) {
        std::promise<void> done;
        auto ran = done.get_future();
        queue.async([this, &line, &done] {
            m_runLine(line);
            done.set_value();
        });
        ran.wait();
    }
    queue.async(m_finished);
}

}
