#include "kit/crash/Ember.h"

#include "kit/analytics/Tally.h"
#include "kit/core/CRNHost.h"
#include "kit/core/Cairn.h"
#include "kit/crash/EMBApplication.h"
#include "kit/crash/EMBFileManager.h"
#include "kit/crash/EMBUserLogging.h"
#include "kit/crash/EMBWebViewMonitor.h"
#include "kit/crash/capture/EMBDemangle.h"
#include "kit/crash/capture/EMBException.h"
#include "kit/crash/capture/EMBProfiling.h"

#include "platform/foundation/Dictionary.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/MainQueue.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <typeinfo>

namespace kit {
namespace {

const platform::foundation::Log& log()
{
    static const platform::foundation::Log log("[Ember]");
    return log;
}

std::string addressText(const void* object)
{
    char address[32];
    std::snprintf(address, sizeof address, "%p", object);
    return address;
}

// "<TypeName: 0x…>", as an object describes itself in a log line.
template<typename T> std::string describe(const T& object)
{
    return "<" + EMBDemangleTypeName(typeid(object).name()) + ": " + addressText(&object) + ">";
}

}

std::shared_ptr<Ember> Ember::sharedInstance()
{
    // Never destroyed: the kits' queues may still use it while the process exits.
    static auto* kit = new std::shared_ptr<Ember>(new Ember);
    return *kit;
}

std::shared_ptr<Ember> Ember::init()
{
    return sharedInstance();
}

std::shared_ptr<Ember> Ember::startWithAPIKey(
    const std::string& apiKey, std::shared_ptr<EmberDelegate> delegate)
{
    auto ember = sharedInstance();
    if (delegate)
        ember->setDelegate(std::move(delegate));
    Cairn::sharedSDK().setAPIKey(apiKey);
    Cairn::with({ ember });
    return ember;
}

std::shared_ptr<Ember> Ember::startWithAPIKey(const std::string& apiKey, double)
{
    log().write("Warning, startWithAPIKey:afterDelay: is deprecated.");
    return startWithAPIKey(apiKey);
}

std::shared_ptr<Ember> Ember::startWithAPIKey(
    const std::string& apiKey, std::shared_ptr<EmberDelegate> delegate, double)
{
    log().write("Warning, startWithAPIKey:delegate:afterDelay: is deprecated.");
    return startWithAPIKey(apiKey, std::move(delegate));
}

void Ember::start()
{
    std::lock_guard startLock(m_startMutex);
    if (m_startRan)
        return;
    m_startRan = true;

    auto mark = EMBProfilingStart();
    log().write(std::string("Version ") + kDisplayVersion + " (" + kBuildVersion + ")");
    if (Cairn::sharedSDK().debug())
        log().write("Running on " + CRNHostModelInfo() + ", " + CRNHostOSDisplayVersion() + " ("
            + CRNHostOSBuildVersion().value_or("(null)") + ")");
    platform::foundation::mainQueue().async([self = shared_from_this()] { self->checkDelegate(); });

    std::shared_ptr<EMBBetaController> beta;
    if (EMBBetaController::isBetaSupported()) {
        beta = EMBBetaController::initWithDelegate(weak_from_this());
        if (!beta->start())
            log().write("Beta could not be initialized");
        std::lock_guard lock(m_mutex);
        m_betaController = beta;
    }
    auto betaToken = beta ? beta->betaToken() : std::nullopt;

    auto controller = EMBCrashReportingController::initWithFileManager(
        std::make_shared<EMBFileManager>(), weak_from_this());
    {
        std::lock_guard lock(m_mutex);
        m_crashReportingController = controller;
    }
    m_crashReportingRunning = controller->startWithProfilingMark(mark, betaToken);
    if (!m_crashReportingRunning)
        log().write("Crash reporting could not be initialized");

    Tally::startWithBetaToken(betaToken);
}

void Ember::checkDelegate()
{
    auto delegate = this->delegate();
    if (!delegate)
        return;
    if (delegate->implementsDeprecatedMethods())
        log().write("The Ember delegate '" + describe(*delegate)
            + "' implements deprecated methods.  Please see Ember for details.");
    if (delegate->implementsCanUseBackgroundSessions() && delegate->emberCanUseBackgroundSessions(*this)
        && EMBApplicationIsExtension())
        log().write("Background sessions are not supported in extensions. Please see Ember for details.");
}

std::optional<std::string> Ember::APIKey() const
{
    return Cairn::sharedSDK().APIKey();
}

std::string Ember::installID() const
{
    return Cairn::sharedSDK().installID();
}

bool Ember::isFirstInstall() const
{
    return Cairn::sharedSDK().isFirstInstall();
}

std::shared_ptr<EMBCrashReportingController> Ember::crashReportingController() const
{
    std::lock_guard lock(m_mutex);
    return m_crashReportingController;
}

std::shared_ptr<EMBBetaController> Ember::betaController() const
{
    std::lock_guard lock(m_mutex);
    return m_betaController;
}

void Ember::setDebugMode(bool debug)
{
    Cairn::sharedSDK().setDebug(debug);
    if (isEmberStarted())
        log().write("Warning, consider enabling debug mode before starting Ember");
}

bool Ember::debugMode() const
{
    return Cairn::sharedSDK().debug();
}

void Ember::setDelegate(std::shared_ptr<EmberDelegate> delegate)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_delegate)
            m_formerDelegates.push_back(m_delegate);
        m_delegate = std::move(delegate);
        m_crashDelegate = m_delegate.get();
    }
    if (isEmberStarted())
        log().write(
            "Warning, setting delegate after start. Make sure to set the Ember delegate before calling "
            "startWithAPIKey:.., or +[Cairn with...] to avoid missing some delegate callbacks.");
}

std::shared_ptr<EmberDelegate> Ember::delegate() const
{
    std::lock_guard lock(m_mutex);
    return m_delegate;
}

// Kept out of line and apart, so that the test crash's report names this function as its frame 0.
__attribute__((noinline)) void Ember::crash()
{
    __builtin_trap();
}

void Ember::throwException()
{
    EMBExceptionRaiseTestCppException();
}

void Ember::setUserIdentifier(const std::string& identifier)
{
    EMBUserLoggingRecordInternalKeyValue(kUserIdentifierKey, identifier);
}

void Ember::setUserName(const std::string& name)
{
    EMBUserLoggingRecordInternalKeyValue(kUserNameKey, name);
}

void Ember::setUserEmail(const std::string& email)
{
    EMBUserLoggingRecordInternalKeyValue(kUserEmailKey, email);
}

void Ember::setDevelopmentPlatformName(const std::string& name)
{
    EMBUserLoggingRecordInternalKeyValue(kDevelopmentPlatformNameKey, name);
}

void Ember::setDevelopmentPlatformVersion(const std::string& version)
{
    EMBUserLoggingRecordInternalKeyValue(kDevelopmentPlatformVersionKey, version);
}

std::optional<std::string> Ember::developmentPlatformName() const
{
    log().write("developmentPlatformName is write-only");
    return std::nullopt;
}

std::optional<std::string> Ember::developmentPlatformVersion() const
{
    log().write("developmentPlatformVersion is write-only");
    return std::nullopt;
}

void Ember::setObjectValue(const platform::foundation::Value& value, const std::string& key)
{
    EMBUserLoggingRecordUserKeyValue(key, value);
}

void Ember::setIntValue(std::int32_t value, const std::string& key)
{
    setObjectValue(value, key);
}

void Ember::setBoolValue(bool value, const std::string& key)
{
    setObjectValue(value, key);
}

void Ember::setFloatValue(float value, const std::string& key)
{
    // The number the float's own shortest text names, so that the report shows 0.1 for 0.1f rather than
    // the float's exact binary value (0.10000000149011612).
    std::array<char, 32> text {};
    auto written = std::to_chars(text.data(), text.data() + text.size(), value);
    double shortest = static_cast<double>(value);
    std::from_chars(text.data(), written.ptr, shortest);
    setObjectValue(shortest, key);
}

void Ember::recordError(
    const platform::foundation::Error& error, const platform::foundation::DictionaryRef& additionalUserInfo)
{
    EMBUserLoggingRecordError(error, additionalUserInfo ? additionalUserInfo->shallowCopy() : nullptr);
}

void Ember::recordCustomExceptionName(
    const std::string& name, const std::string& reason, const std::vector<EMBStackFrame>& frames)
{
    auto record = [name, reason, frames] {
        EMBExceptionRecord(EMBExceptionType::Custom, name.c_str(), reason.c_str(), frames, false);
    };
    if (auto* queue = EMBUserLoggingQueue())
        queue->async(record);
    else
        record();
}

bool Ember::monitorErrorsForUIWebView(platform::ui::WebView& webView)
{
    if (EMBWebViewMonitorView(webView))
        return true;
    log().write("Unable to monitor UIWebView (" + addressText(&webView) + ")");
    return false;
}

bool Ember::handleWebViewShouldStartLoadWithRequest(
    platform::ui::WebView& webView, const std::string& url, platform::ui::WebViewNavigationType type)
{
    return !EMBWebViewHandleLoadRequest(webView, url, type);
}

bool Ember::monitorErrorsForWKWebViewConfiguration(platform::ui::WebViewConfiguration& configuration)
{
    if (configuration.userContentController()->addScriptMessageHandler(
            shared_from_this(), kScriptMessageHandlerName)
        && EMBWebViewSetupConfigurationForMonitoring(configuration))
        return true;
    log().write("Unable to monitor " + describe(configuration));
    return false;
}

void Ember::userContentControllerDidReceiveScriptMessage(
    platform::ui::UserContentController&, const platform::ui::ScriptMessage& message)
{
    if (!EMBWebViewHandleScriptMessage(message))
        log().write("Unable to record exception from WKWebView");
}

void Ember::logEvent(const std::string& name, const platform::foundation::DictionaryRef& attributes)
{
    Tally::logCustomEventWithName(name, attributes);
}

void Ember::reset()
{
    std::lock_guard startLock(m_startMutex);
    m_startRan = false;
    m_crashReportingRunning = false;
    std::lock_guard lock(m_mutex);
    m_delegate = nullptr;
    m_crashDelegate = nullptr;
    m_formerDelegates.clear();
    m_betaController = nullptr;
    m_crashReportingController = nullptr;
}

}
