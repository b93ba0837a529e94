#include "platform/ui/UserContentController.h"

namespace platform::ui {

bool UserContentController::addScriptMessageHandler(
    std::shared_ptr<ScriptMessageHandler> handler, const std::string& name)
{
    if (!handler || m_handlers.contains(name))
        return false;
    m_handlers.emplace(name, std::move(handler));
    return true;
}

std::vector<std::string> UserContentController::messageHandlerNames() const
{
    std::vector<std::string> names;
    for (const auto& [name, handler] : m_handlers)
        names.push_back(name);
    return names;
}

bool UserContentController::deliver(const ScriptMessage& message)
{
    auto found = m_handlers.find(message.name);
    if (found == m_handlers.end())
        return false;
    // The handler may remove itself while it hears the message.
    auto handler = found->second;
    handler->userContentControllerDidReceiveScriptMessage(*this, message);
    return true;
}

}
