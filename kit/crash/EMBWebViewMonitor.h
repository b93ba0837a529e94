#pragma once

#include "platform/ui/WebView.h"

#include <optional>
#include <string>

namespace kit {

// Script errors of the app's web views, recorded as non-fatal exceptions of type "javascript". A watched
// page's error handler is replaced by one that reports each error to native code and then calls the page's
// own handler. A web view without a configured message handler reports by adding a hidden frame that loads
// an "ember://exception/uiwebkit?msg=…&url=…&line=…[&column=…]" address, which its delegate hands to
// EMBWebViewHandleLoadRequest(); one made with a configuration prepared here posts {msg, url, line, column}
// to the message handler "ember" instead.

/// The script installed in a page watched through load requests; it evaluates to "loaded".
const std::string& EMBWebViewLoadRequestMonitorScript();
/// The script injected at document start into pages watched through the "ember" message handler.
const std::string& EMBWebViewMessageMonitorScript();

/// Installs the error handler in the page `webView` shows, by evaluation. False when the page has one
/// already (a second call installs nothing) or its scripts cannot be evaluated (no script engine).
bool EMBWebViewMonitorView(platform::ui::WebView& webView);

/// For a web view's shouldStartLoad: true when `url` is an error report (scheme "ember"), which is then
/// recorded with its percent-decoded "msg" and must not load; false for any other address.
bool EMBWebViewHandleLoadRequest(platform::ui::WebView& webView, const std::string& url,
    platform::ui::WebViewNavigationType navigationType);

/// Injects the error handler, at document start and in the main frame only, into the pages of web views
/// made with `configuration` from now on. Always succeeds here (answers true).
bool EMBWebViewSetupConfigurationForMonitoring(platform::ui::WebViewConfiguration& configuration);

/// Records the "msg" of a report posted to the "ember" handler. False when the body is no dictionary.
bool EMBWebViewHandleScriptMessage(const platform::ui::ScriptMessage& message);

/// Records one script error: type "javascript", name "exception", `message` as reason (none: null), no
/// frames; written, on the logging queue, to the custom-exception files unless their limit is 0.
void EMBWebViewRecordException(const std::optional<std::string>& message);

}
