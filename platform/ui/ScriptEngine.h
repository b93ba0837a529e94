#pragma once

#include "platform/foundation/Value.h"
#include "platform/ui/UserContentController.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {

/// What runs the scripts of the page a web view shows. This layer renders nothing and runs no script of its
/// own: a web view given an engine shows each page it loads in the engine too, and asks the engine to
/// evaluate scripts; without one, nothing runs.
class ScriptEngine {
public:
    /// What a page asks of the web view that shows it.
    struct PageHost {
        /// A script posted `body` to the message handler `name`.
        std::function<void(const std::string& name, const foundation::Value& body)> postMessage;
        /// The page added a frame that would load `url`; answers whether it may.
        std::function<bool(const std::string& url)> shouldLoadFrame;
    };

    /// How a page is shown: the user scripts to inject and the message handlers its scripts reach as
    /// window.webkit.messageHandlers.<name>.postMessage(body).
    struct PageSetup {
        std::vector<UserScript> userScripts;
        std::vector<std::string> messageHandlerNames;
        PageHost host;
    };

    virtual ~ScriptEngine() = default;

    /// Shows `html` as the page, its own scripts run, and tells `setup.host` what the page asked meanwhile.
    /// False when the page could not be shown.
    virtual bool showPage(const std::string& html, const PageSetup& setup) = 0;

    /// Runs `script` in the page shown and answers its value as text ("" for undefined or null), or nullopt
    /// when it could not be evaluated (it threw, or the engine failed). Tells the page's host what the page
    /// asked meanwhile.
    virtual std::optional<std::string> evaluateScript(const std::string& script) = 0;
};

}
