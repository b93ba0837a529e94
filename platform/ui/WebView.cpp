#include "platform/ui/WebView.h"

#include "platform/foundation/Files.h"
#include "platform/foundation/MainQueue.h"
#include "platform/http/SessionEngine.h"
#include "platform/http/Task.h"
#include "platform/ui/ScriptEngine.h"

#include <algorithm>
#include <cctype>

namespace platform::ui {

namespace {

std::string lowercase(std::string text)
{
    std::transform(
        text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

bool startsWith(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && lowercase(text.substr(0, prefix.size())) == prefix;
}

}

WebView::WebView(Rect frame)
    : View(frame)
{
}

WebView::WebView(Rect frame, const WebViewConfiguration& configuration)
    : View(frame)
    , m_configuration(configuration)
{
}

WebView::~WebView()
{
    if (m_task)
        m_task->cancel();
}

bool WebView::beginLoad(const std::string& url)
{
    if (auto listener = delegate();
        listener && !listener->shouldStartLoad(*this, url, WebViewNavigationType::Other))
        return false;
    stopLoading();
    m_loading = true;
    return true;
}

void WebView::stopLoading()
{
    ++m_generation;
    m_loading = false;
    if (m_task) {
        m_task->cancel();
        m_task = nullptr;
    }
}

void WebView::loadHTMLString(std::string html, std::string baseURL)
{
    std::string url = baseURL.empty() ? "about:blank" : baseURL;
    if (!beginLoad(url))
        return;
    std::uint64_t generation = m_generation;
    std::weak_ptr<View> weakSelf = weak_from_this();
    Page page { url, std::move(baseURL), std::move(html), 0 };
    foundation::mainQueue().async([weakSelf, generation, page = std::move(page)]() mutable {
        auto self = std::static_pointer_cast<WebView>(weakSelf.lock());
        if (!self || self->m_generation != generation)
            return;
        if (auto listener = self->delegate())
            listener->didStartLoad(*self);
        self->finish(generation, std::move(page));
    });
}

void WebView::loadURL(const std::string& url)
{
    if (!beginLoad(url))
        return;
    std::uint64_t generation = m_generation;
    std::weak_ptr<View> weakSelf = weak_from_this();
    foundation::mainQueue().async([weakSelf, generation, url] {
        auto self = std::static_pointer_cast<WebView>(weakSelf.lock());
        if (!self || self->m_generation != generation)
            return;
        if (auto listener = self->delegate())
            listener->didStartLoad(*self);
        if (self->m_generation == generation)
            self->fetch(generation, url);
    });
}

void WebView::fetch(std::uint64_t generation, const std::string& url)
{
    if (lowercase(url) == "about:blank") {
        finish(generation, { url, url, "", 0 });
        return;
    }
    if (startsWith(url, "file://")) {
        auto text = foundation::Files::readText(url.substr(7));
        if (!text)
            fail(generation, { url, "The file could not be read." });
        else
            finish(generation, { url, url, std::move(*text), 0 });
        return;
    }
    if (!startsWith(url, "http://") && !startsWith(url, "https://")) {
        fail(generation, { url, "unsupported URL" });
        return;
    }
    if (!m_engine)
        m_engine = std::make_shared<http::SessionEngine>();
    m_task = std::make_shared<http::Task>("GET", url, http::Task::Headers { { "Accept", "text/html" } }, "");
    std::weak_ptr<View> weakSelf = weak_from_this();
    m_engine->start(m_task, {},
        [weakSelf, generation, url](const http::Task& task, const http::SessionEngine::Outcome& outcome) {
            auto self = std::static_pointer_cast<WebView>(weakSelf.lock());
            if (!self || self->m_generation != generation)
                return;
            self->m_task = nullptr;
            if (outcome.transportFailed)
                self->fail(generation, { url, outcome.transportMessage });
            else
                self->finish(generation, { url, url, outcome.body, task.statusCode() });
        });
}

void WebView::finish(std::uint64_t generation, Page page)
{
    if (m_generation != generation)
        return;
    m_loading = false;
    m_url = std::move(page.url);
    m_baseURL = std::move(page.baseURL);
    m_html = std::move(page.html);
    m_statusCode = page.statusCode;
    if (m_scriptEngine)
        showInEngine();
    if (m_generation != generation)
        return;
    if (auto listener = delegate())
        listener->didFinishLoad(*this);
}

void WebView::showInEngine()
{
    auto userContent = m_configuration.userContentController();
    std::weak_ptr<View> weakSelf = weak_from_this();
    ScriptEngine::PageSetup setup { userContent->userScripts(), userContent->messageHandlerNames(), {} };
    setup.host.postMessage = [weakSelf, userContent](const std::string& name, const foundation::Value& body) {
        userContent->deliver({ name, body, std::static_pointer_cast<WebView>(weakSelf.lock()) });
    };
    setup.host.shouldLoadFrame = [weakSelf](const std::string& url) {
        auto self = std::static_pointer_cast<WebView>(weakSelf.lock());
        auto listener = self ? self->delegate() : nullptr;
        return !listener || listener->shouldStartLoad(*self, url, WebViewNavigationType::Other);
    };
    // The engine is held for the call: a handler may replace it.
    auto engine = m_scriptEngine;
    engine->showPage(m_html, setup);
}

std::string WebView::stringByEvaluatingJavaScript(const std::string& script)
{
    auto engine = m_scriptEngine;
    if (!engine)
        return "";
    return engine->evaluateScript(script).value_or("");
}

void WebView::fail(std::uint64_t generation, WebLoadError error)
{
    if (m_generation != generation)
        return;
    m_loading = false;
    if (auto listener = delegate())
        listener->didFailLoad(*this, error);
}

std::string WebView::pageTitle() const
{
    std::string lower = lowercase(m_html);
    auto open = lower.find("<title>");
    if (open == std::string::npos)
        return "";
    auto close = lower.find("</title>", open);
    if (close == std::string::npos)
        return "";
    return m_html.substr(open + 7, close - open - 7);
}

std::string WebView::describe() const
{
    std::string text = View::describe();
    if (!m_url.empty())
        text += " url \"" + m_url + "\"";
    if (auto title = pageTitle(); !title.empty())
        text += " title \"" + title + "\"";
    if (m_loading)
        text += " [loading]";
    return text;
}

}
