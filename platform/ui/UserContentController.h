#pragma once

#include "platform/foundation/Value.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform::ui {

class UserContentController;
class WebView;

/// A script a web view injects into every page it shows.
struct UserScript {
    /// When the script runs; the numbers are the platform's.
    enum class InjectionTime { AtDocumentStart = 0, AtDocumentEnd = 1 };

    std::string source;
    InjectionTime injectionTime { InjectionTime::AtDocumentStart };
    /// Whether the script runs in the main frame only (else in every frame too).
    bool forMainFrameOnly { true };
};

/// What a page's script posted to a message handler.
struct ScriptMessage {
    /// The handler's name.
    std::string name;
    /// The posted value, as JSON carries it.
    foundation::Value body;
    /// The web view whose page posted it.
    std::weak_ptr<WebView> webView;
};

/// Hears what a page's scripts post under the name it was added with.
class ScriptMessageHandler {
public:
    virtual ~ScriptMessageHandler() = default;

    /// A page posted `message`. Main queue.
    virtual void userContentControllerDidReceiveScriptMessage(
        UserContentController& controller, const ScriptMessage& message)
        = 0;
};

/// The user scripts and message handlers of a web view configuration. Handlers are held strongly.
class UserContentController {
public:
    /// Adds a script to every page shown from now on.
    void addUserScript(UserScript script) { m_userScripts.push_back(std::move(script)); }
    /// The scripts in the order added.
    const std::vector<UserScript>& userScripts() const { return m_userScripts; }
    /// Forgets every script.
    void removeAllUserScripts() { m_userScripts.clear(); }

    /// Makes `handler` hear what pages post to window.webkit.messageHandlers.<name>. False, changing
    /// nothing, when `handler` is null or the name is taken.
    bool addScriptMessageHandler(std::shared_ptr<ScriptMessageHandler> handler, const std::string& name);
    /// Forgets the handler of `name`.
    void removeScriptMessageHandlerForName(const std::string& name) { m_handlers.erase(name); }
    /// The handler names, in name order.
    std::vector<std::string> messageHandlerNames() const;

    /// Hands `message` to the handler of its name; false when there is none.
    bool deliver(const ScriptMessage& message);

private:
    std::vector<UserScript> m_userScripts;
    std::map<std::string, std::shared_ptr<ScriptMessageHandler>> m_handlers;
};

}
