#include "kit/crash/EMBWebViewMonitor.h"

#include "kit/crash/EMBUserLogging.h"
#include "kit/crash/capture/EMBException.h"

#include "platform/foundation/Dictionary.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace kit {

namespace {

// Keeps the page's handlers as the originals and puts emberOnError and emberOnLoad in their place. From then
// on a handler the page assigns to window.onerror (in a script of its own or in its onload) becomes the
// original, which emberOnError calls after each report; where the property cannot be taken over, emberOnLoad
// takes over a handler the page set by the time its onload has run.
constexpr const char* kCommonScript = R"js(
var emberOriginalOnLoad = window.onload;
var emberOriginalOnError = window.onerror;
function emberOnLoad() {
  var result;
  if (typeof emberOriginalOnLoad === 'function') result = emberOriginalOnLoad.apply(this, arguments);
  if (window.onerror !== emberOnError && window.onerror !== emberOriginalOnError) {
    emberOriginalOnError = window.onerror;
    window.onerror = emberOnError;
  }
  return result;
}
window.onerror = emberOnError;
window.onload = emberOnLoad;
(function () {
  var property = Object.getOwnPropertyDescriptor(window, 'onerror');
  if (!property || !property.configurable || !property.set) return;
  Object.defineProperty(window, 'onerror', {
    configurable: true,
    enumerable: property.enumerable,
    get: function () { return emberOriginalOnError; },
    set: function (handler) { emberOriginalOnError = handler; }
  });
})();
function emberCallOriginalOnError(self, args) {
  if (typeof emberOriginalOnError === 'function') return emberOriginalOnError.apply(self, args);
}
)js";

constexpr const char* kLoadRequestScript = R"js(
function emberExecute(url) {
  var frame = document.createElement('IFRAME');
  frame.setAttribute('src', url);
  frame.style.display = 'none';
  document.documentElement.appendChild(frame);
  frame.parentNode.removeChild(frame);
}
function emberOnError(msg, url, line, column, error) {
  var report = 'ember://exception/uiwebkit?msg=' + encodeURIComponent(msg) + '&url=' + encodeURIComponent(url)
    + '&line=' + encodeURIComponent(line);
  if (column) report += '&column=' + encodeURIComponent(column);
  emberExecute(report);
  return emberCallOriginalOnError(this, arguments);
}
"loaded";
)js";

constexpr const char* kMessageScript = R"js(
function emberOnError(msg, url, line, column, error) {
  try {
    window.webkit.messageHandlers.ember.postMessage({ msg: msg, url: url, line: line, column: column });
  } catch (e) {
  }
  return emberCallOriginalOnError(this, arguments);
}
)js";

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = char(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// `text` with each "%XX" turned into its byte; a "%" not followed by two hex digits stays.
std::string percentDecoded(const std::string& text)
{
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexDigit(text[i + 1]) >= 0
            && hexDigit(text[i + 2]) >= 0) {
            decoded += char(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
            i += 2;
        } else {
            decoded += text[i];
        }
    }
    return decoded;
}

// The pairs of a URL's query that split at "=" into exactly two pieces, values still encoded.
std::map<std::string, std::string> queryPairs(const std::string& url)
{
    std::map<std::string, std::string> pairs;
    auto start = url.find('?');
    if (start == std::string::npos)
        return pairs;
    std::string query = url.substr(start + 1, url.find('#', start) - start - 1);
    std::size_t from = 0;
    while (from <= query.size()) {
        auto end = std::min(query.find('&', from), query.size());
        std::string part = query.substr(from, end - from);
        auto equals = part.find('=');
        if (equals != std::string::npos && part.find('=', equals + 1) == std::string::npos)
            pairs.emplace(part.substr(0, equals), part.substr(equals + 1));
        from = end + 1;
    }
    return pairs;
}

}

const std::string& EMBWebViewLoadRequestMonitorScript()
{
    static const std::string script = std::string(kCommonScript) + kLoadRequestScript;
    return script;
}

const std::string& EMBWebViewMessageMonitorScript()
{
    static const std::string script = std::string(kCommonScript) + kMessageScript;
    return script;
}

bool EMBWebViewMonitorView(platform::ui::WebView& webView)
{
    if (webView.stringByEvaluatingJavaScript("typeof emberOnError") != "undefined")
        return false;
    return webView.stringByEvaluatingJavaScript(EMBWebViewLoadRequestMonitorScript()) == "loaded";
}

bool EMBWebViewHandleLoadRequest(
    platform::ui::WebView&, const std::string& url, platform::ui::WebViewNavigationType)
{
    auto colon = url.find(':');
    std::string scheme = url.substr(0, colon == std::string::npos ? 0 : colon);
    std::transform(
        scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (scheme != "ember")
        return false;
    auto pairs = queryPairs(url);
    auto message = pairs.find("msg");
    EMBWebViewRecordException(
        message == pairs.end() ? std::nullopt : std::optional<std::string>(percentDecoded(message->second)));
    return true;
}

bool EMBWebViewSetupConfigurationForMonitoring(platform::ui::WebViewConfiguration& configuration)
{
    configuration.userContentController()->addUserScript(
        { EMBWebViewMessageMonitorScript(), platform::ui::UserScript::InjectionTime::AtDocumentStart, true });
    return true;
}

bool EMBWebViewHandleScriptMessage(const platform::ui::ScriptMessage& message)
{
    auto body = message.body.dictionary();
    if (!body)
        return false;
    auto reason = body->get("msg");
    EMBWebViewRecordException(
        reason.isNull() ? std::nullopt : std::optional<std::string>(reason.stringValue()));
    return true;
}

void EMBWebViewRecordException(const std::optional<std::string>& message)
{
    auto record = [message] {
        EMBExceptionRecord(
            EMBExceptionType::Javascript, "exception", message ? message->c_str() : nullptr, {}, false);
    };
    if (auto* queue = EMBUserLoggingQueue())
        queue->async(record);
    else
        record();
}

}
