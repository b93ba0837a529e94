#pragma once

#include "platform/ui/ScriptEngine.h"
#include "testing/ChildProcess.h"
#include "testing/TemporaryDirectory.h"

#include <chrono>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace testing {

/// What went wrong while driving the browser: it did not start, did not answer in time, or refused a
/// command (the message says which).
class ChromiumPageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

/// One page of a headless Chromium (Debian's `chromium`), kept open for the object's life and driven over
/// its DevTools pipe: tests hand it a page's HTML, let the page's scripts run, and read back what a person
/// would see. The browser runs in a fresh profile, without sandbox (tests run as root), network extras or
/// GPU, in Europe/London time, and is closed (killed if need be) when the object goes away.
///
/// JavaScript dialogs (alert, confirm, prompt) are answered at once and written down, so a page that tries
/// to run injected script shows it in dialogs(). Every wait is bounded; a command that fails or times out
/// throws ChromiumPageError.
///
/// It is also a web view's script engine: showPage() injects the user scripts (document-start scripts
/// before the page's own, document-end ones once the document is parsed; main-frame-only ones in the top
/// frame alone), puts window.webkit.messageHandlers.<name>.postMessage(body) in front of a DevTools binding,
/// and watches for frames the page adds. What the page posted and the frames it added are handed to the
/// page's host at the end of each call, in order.
class ChromiumPage : public platform::ui::ScriptEngine {
public:
    /// Starts the browser with one blank page. Throws ChromiumPageError when it cannot.
    ChromiumPage();
    /// Closes the browser.
    ~ChromiumPage() override;
    ChromiumPage(const ChromiumPage&) = delete;
    ChromiumPage& operator=(const ChromiumPage&) = delete;

    /// Shows `html` as the page (no base URL, as a web view given a string) and returns once its load event
    /// fired, that is once its inline scripts ran.
    void load(const std::string& html);
    /// The page's visible text (the body's innerText).
    std::string text();
    /// Runs `expression` in the page and returns its value as text ("" for undefined or null).
    std::string evaluate(const std::string& expression);
    /// Writes a PNG of the whole page to `path` (folders made as needed).
    void screenshot(const std::filesystem::path& path);
    /// The messages of the JavaScript dialogs the page opened, in order.
    const std::vector<std::string>& dialogs() const { return m_dialogs; }

    bool showPage(const std::string& html, const PageSetup& setup) override;
    std::optional<std::string> evaluateScript(const std::string& script) override;

private:
    struct Message;

    Message call(const std::string& method, const std::string& params, bool inPage = true);
    Message waitForEvent(const std::string& method);
    Message nextMessage(std::chrono::steady_clock::time_point deadline);
    void handleEvent(const Message& message);
    void addDocumentScript(const std::string& source);
    void deliverBindingCalls();

    TemporaryDirectory m_profile;
    std::unique_ptr<ChildProcess> m_browser;
    std::string m_sessionId;
    int m_nextId { 1 };
    std::deque<std::shared_ptr<Message>> m_events;
    std::vector<std::string> m_dialogs;
    std::vector<std::string> m_documentScripts;
    bool m_bindingsAdded { false };
    PageHost m_host;
    std::vector<std::pair<std::string, std::string>> m_bindingCalls;
};

}
