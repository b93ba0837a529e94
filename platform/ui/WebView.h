#pragma once

#include "platform/ui/View.h"
#include "platform/ui/WebViewConfiguration.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform::http {
class SessionEngine;
class Task;
}

namespace platform::ui {

class ScriptEngine;
class WebView;

/// Why a load was asked for; the numbers are the platform's.
enum class WebViewNavigationType {
    LinkClicked = 0,
    FormSubmitted = 1,
    BackForward = 2,
    Reload = 3,
    FormResubmitted = 4,
    Other = 5
};

/// Why a page could not be loaded.
struct WebLoadError {
    /// The URL that failed.
    std::string url;
    /// A readable reason, such as "Could not connect to the server." or "unsupported URL".
    std::string message;
};

/// Told about, and asked about, a web view's loads. Every method has a default.
class WebViewDelegate {
public:
    virtual ~WebViewDelegate() = default;

    /// Whether the page at `url` may load (true by default).
    virtual bool shouldStartLoad(WebView&, const std::string& /*url*/, WebViewNavigationType) { return true; }
    /// The load began.
    virtual void didStartLoad(WebView&) { }
    /// The page is shown.
    virtual void didFinishLoad(WebView&) { }
    /// The page could not be loaded; the former page stays.
    virtual void didFailLoad(WebView&, const WebLoadError& /*error*/) { }
};

/// A view that shows a web page: an HTML text given by the app, or the page at a URL. The page is not
/// rendered; its HTML is kept for inspection.
///
/// A load asks the delegate's shouldStartLoad within the call; then, on the main queue, didStartLoad, and
/// once the page is there didFinishLoad (or didFailLoad). A new load cancels one in progress (which then
/// reports nothing). http:// and https:// pages are fetched with platform/http's session engine: a page that
/// cannot be reached (refused, unresolvable, timed out) ends in didFailLoad; an answer with an error status
/// is a page like any other and is shown, as browsers do (statusCode() tells it). file:// URLs read the
/// file; "about:blank" is the empty page; any other URL fails as "unsupported URL".
///
/// Scripts: a web view runs its pages' scripts through the ScriptEngine it is given. Each page that arrives
/// is shown in the engine, with the configuration's user scripts and message handlers, before
/// didFinishLoad; what the page posts to a handler reaches it, and a frame the page adds is asked of the
/// delegate's shouldStartLoad (as a load of type Other). Without an engine no script runs.
class WebView : public View {
public:
    /// A web view with the frame, no page and a configuration of its own.
    explicit WebView(Rect frame = Rect::zero());
    /// A web view with the frame, no page and `configuration` (whose user content it shares).
    WebView(Rect frame, const WebViewConfiguration& configuration);
    /// Cancels a load in progress.
    ~WebView() override;

    std::string className() const override { return "WebView"; }

    /// The delegate, or null.
    std::shared_ptr<WebViewDelegate> delegate() const { return m_delegate.lock(); }
    /// Sets the delegate, held weakly.
    void setDelegate(const std::weak_ptr<WebViewDelegate>& delegate) { m_delegate = delegate; }

    /// Loads an HTML text; relative addresses in it would resolve against `baseURL` (empty: none, and the
    /// page's URL is "about:blank").
    void loadHTMLString(std::string html, std::string baseURL = {});
    /// Loads the page at `url`.
    void loadURL(const std::string& url);
    /// Cancels a load in progress; it reports nothing more.
    void stopLoading();

    /// The configuration the view was made with.
    const WebViewConfiguration& configuration() const { return m_configuration; }
    /// The engine that runs the pages' scripts, or null.
    const std::shared_ptr<ScriptEngine>& scriptEngine() const { return m_scriptEngine; }
    /// Sets the engine for the pages shown from now on.
    void setScriptEngine(std::shared_ptr<ScriptEngine> engine) { m_scriptEngine = std::move(engine); }
    /// Runs `script` in the page and answers its value as text; "" when it has none, cannot be evaluated,
    /// or there is no engine.
    std::string stringByEvaluatingJavaScript(const std::string& script);

    /// Whether a load is in progress.
    bool isLoading() const { return m_loading; }
    /// The HTML of the page shown ("" before any).
    const std::string& html() const { return m_html; }
    /// The base URL of the page shown.
    const std::string& baseURL() const { return m_baseURL; }
    /// The URL of the page shown ("" before any).
    const std::string& url() const { return m_url; }
    /// The HTTP status of the page shown when it came over HTTP, else 0.
    int statusCode() const { return m_statusCode; }
    /// The text of the page's <title> element, or "".
    std::string pageTitle() const;

    std::string describe() const override;

private:
    struct Page {
        std::string url;
        std::string baseURL;
        std::string html;
        int statusCode { 0 };
    };

    bool beginLoad(const std::string& url);
    void fetch(std::uint64_t generation, const std::string& url);
    void finish(std::uint64_t generation, Page page);
    void fail(std::uint64_t generation, WebLoadError error);
    void showInEngine();

    std::weak_ptr<WebViewDelegate> m_delegate;
    WebViewConfiguration m_configuration;
    std::shared_ptr<ScriptEngine> m_scriptEngine;
    std::string m_html;
    std::string m_baseURL;
    std::string m_url;
    int m_statusCode { 0 };
    bool m_loading { false };
    std::uint64_t m_generation { 0 };
    std::shared_ptr<http::SessionEngine> m_engine;
    std::shared_ptr<http::Task> m_task;
};

}
