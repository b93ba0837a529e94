#include "testing/ChromiumPage.h"

#include "platform/foundation/Base64.h"
#include "platform/foundation/Json.h"

#include <nlohmann/json.hpp>

#include <fstream>

namespace testing {

using platform::foundation::Base64;

namespace {

constexpr auto kTimeout = std::chrono::seconds(20);
constexpr const char* kBrowser = "/usr/bin/chromium";
// The DevTools bindings behind the message handlers and the frame watch.
constexpr const char* kPostBinding = "__zorvikPost";
constexpr const char* kFrameBinding = "__zorvikFrame";

// Runs `source` as a script of its own in the global scope, in the top frame only when `mainFrameOnly`.
std::string globalScript(const std::string& source, bool mainFrameOnly)
{
    std::string run = "(0, eval)(" + nlohmann::json(source).dump() + ");";
    return mainFrameOnly ? "if (window === window.top) " + run : run;
}

// window.webkit.messageHandlers.<name>.postMessage(body) for each name, in the top frame.
std::string messageHandlersScript(const std::vector<std::string>& names)
{
    return "if (window === window.top) (function () {"
           "  var post = window."
        + std::string(kPostBinding)
        + "; var handlers = {};"
          "  "
        + nlohmann::json(names).dump()
        + ".forEach(function (name) {"
          "    handlers[name] = { postMessage: function (body) {"
          "      post(JSON.stringify({ name: name, body: body === undefined ? null : body })); } };"
          "  });"
          "  window.webkit = { messageHandlers: handlers };"
          "})();";
}

// Tells the frame binding of every frame added to the top document, with the address it would load.
std::string frameWatchScript()
{
    return "if (window === window.top) (function () {"
           "  var report = window."
        + std::string(kFrameBinding)
        + ";"
          "  new MutationObserver(function (records) {"
          "    records.forEach(function (record) {"
          "      record.addedNodes.forEach(function (node) {"
          "        if (node.nodeName === 'IFRAME' && node.getAttribute('src')) "
          "report(node.getAttribute('src'));"
          "      });"
          "    });"
          "  }).observe(document, { childList: true, subtree: true });"
          "})();";
}

}

struct ChromiumPage::Message {
    nlohmann::json json;
};

ChromiumPage::ChromiumPage()
{
    m_browser = std::make_unique<ChildProcess>(
        std::vector<std::string> { kBrowser, "--headless", "--no-sandbox", "--disable-gpu",
            "--disable-background-networking", "--disable-component-update", "--disable-sync",
            "--no-first-run", "--disable-quic", "--remote-debugging-pipe",
            "--user-data-dir=" + m_profile.path().string(), "--log-level=3", "about:blank" },
        ChildProcess::ExtraPipes::ThreeAndFour);
    if (!m_browser->started())
        throw ChromiumPageError(std::string("could not start ") + kBrowser + " (scripts/setup installs it)");
    auto target = call("Target.createTarget", R"({"url":"about:blank"})", false);
    auto attached = call("Target.attachToTarget",
        nlohmann::json { { "targetId", target.json["result"]["targetId"] }, { "flatten", true } }.dump(),
        false);
    m_sessionId = attached.json["result"]["sessionId"].get<std::string>();
    call("Page.enable", "{}");
    call("Emulation.setTimezoneOverride", R"({"timezoneId":"Europe/London"})");
    call("Emulation.setDeviceMetricsOverride",
        R"({"width":375,"height":667,"deviceScaleFactor":1,"mobile":false})");
}

ChromiumPage::~ChromiumPage()
{
    if (!m_browser)
        return;
    m_browser->writeToPipe(R"({"id":0,"method":"Browser.close"})" + std::string(1, '\0'));
    m_browser->wait(std::chrono::seconds(5));
}

void ChromiumPage::load(const std::string& html)
{
    m_events.clear();
    call("Page.navigate",
        nlohmann::json { { "url", "data:text/html;charset=utf-8;base64," + Base64::encode(html) } }.dump());
    waitForEvent("Page.loadEventFired");
}

std::string ChromiumPage::text()
{
    return evaluate("document.body ? document.body.innerText : ''");
}

std::string ChromiumPage::evaluate(const std::string& expression)
{
    auto answer = call("Runtime.evaluate",
        nlohmann::json { { "expression", expression }, { "returnByValue", true } }.dump());
    const auto& result = answer.json["result"];
    if (result.contains("exceptionDetails"))
        throw ChromiumPageError("the page threw: " + result["exceptionDetails"].dump());
    const auto& value = result["result"];
    if (!value.contains("value") || value["value"].is_null())
        return {};
    return value["value"].is_string() ? value["value"].get<std::string>() : value["value"].dump();
}

bool ChromiumPage::showPage(const std::string& html, const PageSetup& setup)
{
    try {
        if (!m_bindingsAdded) {
            call("Runtime.enable", "{}");
            for (const char* name : { kPostBinding, kFrameBinding })
                call("Runtime.addBinding", nlohmann::json { { "name", name } }.dump());
            m_bindingsAdded = true;
        }
        for (const auto& identifier : m_documentScripts) {
            call("Page.removeScriptToEvaluateOnNewDocument",
                nlohmann::json { { "identifier", identifier } }.dump());
        }
        m_documentScripts.clear();
        m_host = setup.host;
        addDocumentScript(messageHandlersScript(setup.messageHandlerNames));
        addDocumentScript(frameWatchScript());
        for (const auto& script : setup.userScripts) {
            std::string run = globalScript(script.source, script.forMainFrameOnly);
            if (script.injectionTime == platform::ui::UserScript::InjectionTime::AtDocumentEnd)
                run = "document.addEventListener('DOMContentLoaded', function () { " + run + " });";
            addDocumentScript(run);
        }
        m_bindingCalls.clear();
        load(html);
    } catch (const ChromiumPageError&) {
        return false;
    }
    deliverBindingCalls();
    return true;
}

std::optional<std::string> ChromiumPage::evaluateScript(const std::string& script)
{
    std::optional<std::string> value;
    try {
        value = evaluate(script);
    } catch (const ChromiumPageError&) {
    }
    deliverBindingCalls();
    return value;
}

void ChromiumPage::addDocumentScript(const std::string& source)
{
    auto added
        = call("Page.addScriptToEvaluateOnNewDocument", nlohmann::json { { "source", source } }.dump());
    m_documentScripts.push_back(added.json["result"]["identifier"].get<std::string>());
}

void ChromiumPage::deliverBindingCalls()
{
    auto calls = std::exchange(m_bindingCalls, {});
    for (const auto& [name, payload] : calls) {
        if (name == kFrameBinding) {
            if (m_host.shouldLoadFrame)
                m_host.shouldLoadFrame(payload);
            continue;
        }
        auto posted = nlohmann::json::parse(payload, nullptr, false);
        if (m_host.postMessage && posted.is_object()) {
            m_host.postMessage(posted.value("name", ""),
                platform::foundation::parseJson(posted.contains("body") ? posted["body"].dump() : "null")
                    .value);
        }
    }
}

void ChromiumPage::screenshot(const std::filesystem::path& path)
{
    auto metrics = call("Page.getLayoutMetrics", "{}");
    const auto& size = metrics.json["result"]["cssContentSize"];
    nlohmann::json clip { { "x", 0 }, { "y", 0 }, { "width", size["width"] }, { "height", size["height"] },
        { "scale", 1 } };
    auto shot = call("Page.captureScreenshot",
        nlohmann::json { { "format", "png" }, { "clip", clip }, { "captureBeyondViewport", true } }.dump());
    auto png = Base64::decode(shot.json["result"]["data"].get<std::string>());
    if (!png)
        throw ChromiumPageError("the browser sent a screenshot that is not base64");
    if (path.has_parent_path())
        std::filesystem::create_directories(path.parent_path());
    std::ofstream file(path, std::ios::binary);
    file << *png;
    if (!file)
        throw ChromiumPageError("could not write " + path.string());
}

ChromiumPage::Message ChromiumPage::call(const std::string& method, const std::string& params, bool inPage)
{
    int id = m_nextId++;
    nlohmann::json command { { "id", id }, { "method", method },
        { "params", nlohmann::json::parse(params) } };
    if (inPage)
        command["sessionId"] = m_sessionId;
    m_browser->writeToPipe(command.dump() + std::string(1, '\0'));
    auto deadline = std::chrono::steady_clock::now() + kTimeout;
    for (;;) {
        auto message = nextMessage(deadline);
        if (message.json.contains("method")) {
            handleEvent(message);
            m_events.push_back(std::make_shared<Message>(std::move(message)));
            continue;
        }
        if (message.json.value("id", -1) != id)
            continue;
        if (message.json.contains("error"))
            throw ChromiumPageError(method + " failed: " + message.json["error"].dump());
        return message;
    }
}

ChromiumPage::Message ChromiumPage::waitForEvent(const std::string& method)
{
    for (auto it = m_events.begin(); it != m_events.end(); ++it) {
        if ((*it)->json.value("method", "") == method) {
            auto found = std::move(**it);
            m_events.erase(it);
            return found;
        }
    }
    auto deadline = std::chrono::steady_clock::now() + kTimeout;
    for (;;) {
        auto message = nextMessage(deadline);
        if (!message.json.contains("method"))
            continue;
        handleEvent(message);
        if (message.json["method"] == method)
            return message;
    }
}

ChromiumPage::Message ChromiumPage::nextMessage(std::chrono::steady_clock::time_point deadline)
{
    auto left
        = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    auto text = m_browser->readFromPipe('\0', std::max(left, std::chrono::milliseconds(0)));
    if (!text)
        throw ChromiumPageError("the browser did not answer within 20 s");
    auto json = nlohmann::json::parse(*text, nullptr, false);
    if (json.is_discarded())
        throw ChromiumPageError("the browser sent something that is not JSON: " + text->substr(0, 200));
    return Message { std::move(json) };
}

// A binding call is kept for the page's host. A dialog would hold the page until answered: write it down and
// accept it at once (the answer to this command is skipped like any other unawaited one).
void ChromiumPage::handleEvent(const Message& message)
{
    if (message.json["method"] == "Runtime.bindingCalled") {
        const auto& params = message.json["params"];
        m_bindingCalls.emplace_back(params.value("name", ""), params.value("payload", ""));
        return;
    }
    if (message.json["method"] != "Page.javascriptDialogOpening")
        return;
    m_dialogs.push_back(message.json["params"].value("message", ""));
    nlohmann::json answer { { "id", m_nextId++ }, { "method", "Page.handleJavaScriptDialog" },
        { "params", { { "accept", true } } }, { "sessionId", m_sessionId } };
    m_browser->writeToPipe(answer.dump() + std::string(1, '\0'));
}

}
