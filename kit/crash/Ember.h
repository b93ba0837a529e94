#pragma once

#include "kit/core/Kit.h"
#include "kit/crash/EMBBetaController.h"
#include "kit/crash/EMBCrashReportingController.h"
#include "kit/crash/EMBStackFrame.h"
#include "kit/crash/EmberDelegate.h"

#include "platform/foundation/Error.h"
#include "platform/foundation/Value.h"
#include "platform/ui/UserContentController.h"
#include "platform/ui/WebView.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace kit {

/// The crash-reporting kit, the one object the app and the kit platform see of it. There is one per
/// process: making one answers that one. The platform starts it through initializeIfNeeded(), the app may
/// through startWithAPIKey(); either way it starts once (see start()).
///
/// Beside the start it carries what the app asks of crash reporting: user identity and custom keys, recorded
/// errors and custom exceptions, the test faults, and the watching of web views' script errors. It answers
/// the crash reporting and beta controllers' questions from the kit platform and its delegate, and passes
/// the previous launch's report on to the delegate and to analytics. Thread-safe, but for the web-view calls
/// (main queue).
class Ember final : public Kit,
                    public EMBCrashReportingControllerDelegate,
                    public EMBBetaControllerDelegate,
                    public platform::ui::ScriptMessageHandler,
                    public std::enable_shared_from_this<Ember> {
public:
    /// The kit's bundle identifier.
    static constexpr const char* kBundleIdentifier { "com.cairn.ember.ios" };
    /// The kit's version.
    static constexpr const char* kDisplayVersion { "3.7.0" };
    /// The kit's build number.
    static constexpr const char* kBuildVersion { "102" };
    /// The name of the message handler through which watched pages report their script errors.
    static constexpr const char* kScriptMessageHandlerName { "ember" };
    /// The internal keys the user identity is recorded under.
    static constexpr const char* kUserIdentifierKey { "com.ember.user-id" };
    static constexpr const char* kUserNameKey { "com.ember.user-name" };
    static constexpr const char* kUserEmailKey { "com.ember.user-email" };
    static constexpr const char* kDevelopmentPlatformNameKey { "com.ember.development-platform-name" };
    static constexpr const char* kDevelopmentPlatformVersionKey { "com.ember.development-platform-version" };

    /// The process's crash-reporting kit, made on first use.
    static std::shared_ptr<Ember> sharedInstance();
    /// Answers the process's kit rather than a new one, so that the app can hand "a new Ember" to the
    /// platform.
    static std::shared_ptr<Ember> init();

    /// Starts the kit platform with this kit and `apiKey`, after making `delegate` (when given) the kit's
    /// delegate. Answers the kit.
    static std::shared_ptr<Ember> startWithAPIKey(
        const std::string& apiKey, std::shared_ptr<EmberDelegate> delegate = nullptr);
    /// The older form: logs that it is deprecated and starts at once; the delay is ignored.
    static std::shared_ptr<Ember> startWithAPIKey(const std::string& apiKey, double delay);
    /// The older form: logs that it is deprecated and starts at once; the delay is ignored.
    static std::shared_ptr<Ember> startWithAPIKey(
        const std::string& apiKey, std::shared_ptr<EmberDelegate> delegate, double delay);

    Ember(const Ember&) = delete;
    Ember& operator=(const Ember&) = delete;

    /// "Ember".
    std::string kitName() const override { return "Ember"; }
    /// kBundleIdentifier.
    std::string bundleIdentifier() const override { return kBundleIdentifier; }
    /// kDisplayVersion.
    std::string kitDisplayVersion() const override { return kDisplayVersion; }
    /// kDisplayVersion.
    std::string version() const { return kDisplayVersion; }
    /// Starts crash reporting.
    void initializeIfNeeded() override { start(); }

    /// Runs the start once per process: logs the version (and, in debug mode, the device), checks the
    /// delegate on the main queue, starts the beta check where the build supports it, makes and starts the
    /// crash reporting controller (which installs capture and takes up the earlier launches' reports), then
    /// starts usage analytics (Tally) with the beta token. A controller that cannot start is logged; the
    /// rest goes on. Later calls do nothing; a caller arriving while it runs waits for it.
    void start();
    /// Whether the start has made the crash reporting controller (whether or not it could start).
    bool isEmberStarted() const { return crashReportingController() != nullptr; }
    /// The crash reporting controller, or null before start.
    std::shared_ptr<EMBCrashReportingController> crashReportingController() const;
    /// Whether the controller started crash reporting for this launch (its report directory is set up).
    bool isCrashReportingRunning() const { return m_crashReportingRunning; }

    /// The kit platform's API key, installation identifier and first-install flag.
    std::optional<std::string> APIKey() const;
    std::string installID() const;
    bool isFirstInstall() const;
    /// The beta update controller, or null when the build takes no beta updates (or before start).
    std::shared_ptr<EMBBetaController> betaController() const;

    /// Sets the kit platform's debug mode (progress logged, pinning off in every kit client) to `debug`;
    /// after start it also warns that the start ran without it.
    void setDebugMode(bool debug);
    /// The kit platform's debug mode.
    bool debugMode() const;

    /// Sets the app's delegate (held strongly; may be null). After start it warns: the previous launch's
    /// reports were offered during start.
    void setDelegate(std::shared_ptr<EmberDelegate> delegate);
    std::shared_ptr<EmberDelegate> delegate() const;

    /// Stops the process at once with a trap instruction (SIGILL): the test crash. Frame 0 of its report is
    /// this function.
    [[noreturn]] void crash();
    /// Throws the test C++ exception ("Ember C++ Test Exception"), which ends the process through the
    /// terminate handler (SIGABRT) unless the caller catches it.
    [[noreturn]] void throwException();

    /// The user identity and the development platform, recorded as internal keys for the next report.
    void setUserIdentifier(const std::string& identifier);
    void setUserName(const std::string& name);
    void setUserEmail(const std::string& email);
    void setDevelopmentPlatformName(const std::string& name);
    void setDevelopmentPlatformVersion(const std::string& version);
    /// Write-only: logs so and answers none.
    std::optional<std::string> developmentPlatformName() const;
    /// Write-only: logs so and answers none.
    std::optional<std::string> developmentPlatformVersion() const;

    /// Records a custom key for the next report; a null value removes it.
    void setObjectValue(const platform::foundation::Value& value, const std::string& key);
    void setIntValue(std::int32_t value, const std::string& key);
    void setBoolValue(bool value, const std::string& key);
    /// Records the float as the number its shortest text names (0.1f is kept as 0.1).
    void setFloatValue(float value, const std::string& key);

    /// Records a non-fatal error with the caller's stack and a copy of `additionalUserInfo` (may be null).
    void recordError(const platform::foundation::Error& error,
        const platform::foundation::DictionaryRef& additionalUserInfo = nullptr);
    /// Records a custom (non-fatal) exception of type "custom" with `frames` as its stack.
    void recordCustomExceptionName(
        const std::string& name, const std::string& reason, const std::vector<EMBStackFrame>& frames);

    /// Watches the script errors of the page `webView` shows; false, logged, when the page cannot be
    /// watched (no script engine, or watched already).
    bool monitorErrorsForUIWebView(platform::ui::WebView& webView);
    /// For the delegate of a watched web view: whether the load of `url` may go on. A script error report
    /// is recorded and must not load (false); any other load may (true).
    bool handleWebViewShouldStartLoadWithRequest(
        platform::ui::WebView& webView, const std::string& url, platform::ui::WebViewNavigationType type);
    /// Makes the web views made with `configuration` report their pages' script errors to this kit, through
    /// the message handler "ember"; false, logged, when that fails (the name is taken).
    bool monitorErrorsForWKWebViewConfiguration(platform::ui::WebViewConfiguration& configuration);
    /// A watched page reported a script error: it is recorded (a body that is no dictionary is logged).
    void userContentControllerDidReceiveScriptMessage(
        platform::ui::UserContentController& controller, const platform::ui::ScriptMessage& message) override;

    /// Logs a custom usage event with analytics (Tally).
    void logEvent(const std::string& name, const platform::foundation::DictionaryRef& attributes = nullptr);

    // The crash reporting controller's questions, answered from the kit platform and the delegate.
    std::optional<std::string> APIKeyForCrashReportingController(
        EMBCrashReportingController& controller) override;
    std::string installIDForCrashReportingController(EMBCrashReportingController& controller) override;
    bool isFirstInstallForCrashReportingController(EMBCrashReportingController& controller) override;
    /// The crash settings over the platform's downloaded settings.
    EMBSettings settingsForCrashReportingController(EMBCrashReportingController& controller) override;
    /// The delegate's emberEnsureDeliveryOfUnixSignal() where it implements it, else false.
    bool reportingControllerEnsureDeliveryOfUnixSignal(
        EMBCrashReportingController& controller, int signal) override;
    /// Whether the delegate implements emberDidDetectCrash().
    bool shouldInstallCrashCallback() override;
    /// Tells the delegate set when the process began crashing, on the crashing thread, without locking.
    void detectedCrash() override;
    /// Whether the delegate implements any of the three ways of hearing of a previous launch's report.
    bool reportingControllerMustInformDelegateOfReports(EMBCrashReportingController& controller) override;
    /// A report of a launch that crashed gives analytics the crash date, on the main queue.
    void reportingControllerInternalDidDetectReportForLastExecution(
        EMBCrashReportingController& controller, const std::shared_ptr<EMBInternalReport>& report) override;
    /// Offers `report` to the delegate, which decides with `completionHandler`; a delegate that does not
    /// decide lets it go at once. Then, on the main queue, the older delegate methods hear of it.
    void reportingControllerDidDetectReportForLastExecution(EMBCrashReportingController& controller,
        const std::shared_ptr<EMBInternalReport>& report,
        std::function<void(bool submit)> completionHandler) override;
    /// The delegate's emberCanUseBackgroundSessions() where it implements it, else whether the process is no
    /// application extension.
    bool reportingControllerCanUseBackgroundSessions(EMBCrashReportingController& controller) override;

    /// The platform's API key, for the beta check.
    std::optional<std::string> APIKeyForBetaController(EMBBetaController& controller) override;
    /// The crash settings over the platform's downloaded settings, for the beta check.
    EMBSettings settingsForBetaController(EMBBetaController& controller) override;

    /// Forgets the start, the delegate and both controllers: for tests, after the controller's work is done.
    void reset();

private:
    Ember() = default;

    /// Warns on the main queue about a delegate that implements what is deprecated or unsupported.
    void checkDelegate();

    // Held through the whole start, so that concurrent callers see one start; recursive for a caller
    // that reaches start() again from inside it.
    std::recursive_mutex m_startMutex;
    bool m_startRan { false };
    std::atomic<bool> m_crashReportingRunning { false };

    mutable std::mutex m_mutex;
    std::shared_ptr<EmberDelegate> m_delegate;
    // The delegate as the crash callback reads it: a crashing thread takes no lock. Kept alive by m_delegate
    // or, once replaced, by m_formerDelegates, since a crash may read it at any moment.
    std::atomic<EmberDelegate*> m_crashDelegate { nullptr };
    std::vector<std::shared_ptr<EmberDelegate>> m_formerDelegates;
    std::shared_ptr<EMBBetaController> m_betaController;
    std::shared_ptr<EMBCrashReportingController> m_crashReportingController;
};

}
