// The crash kit's answers to its crash reporting and beta controllers, from the kit platform and the app's
// delegate.

#include "kit/crash/Ember.h"

#include "kit/analytics/Tally.h"
#include "kit/core/Cairn.h"
#include "kit/crash/EMBApplication.h"
#include "kit/crash/EMBReport.h"

#include "platform/foundation/MainQueue.h"

namespace kit {

std::optional<std::string> Ember::APIKeyForCrashReportingController(EMBCrashReportingController&)
{
    return APIKey();
}

std::string Ember::installIDForCrashReportingController(EMBCrashReportingController&)
{
    return installID();
}

bool Ember::isFirstInstallForCrashReportingController(EMBCrashReportingController&)
{
    return isFirstInstall();
}

EMBSettings Ember::settingsForCrashReportingController(EMBCrashReportingController&)
{
    return EMBSettings(Cairn::sharedSDK().settings());
}

bool Ember::reportingControllerEnsureDeliveryOfUnixSignal(EMBCrashReportingController&, int signal)
{
    auto delegate = this->delegate();
    return delegate && delegate->implementsEnsureDeliveryOfUnixSignal()
        && delegate->emberEnsureDeliveryOfUnixSignal(*this, signal);
}

bool Ember::shouldInstallCrashCallback()
{
    auto delegate = this->delegate();
    return delegate && delegate->implementsDidDetectCrash();
}

void Ember::detectedCrash()
{
    if (EmberDelegate* delegate = m_crashDelegate.load())
        delegate->emberDidDetectCrash(*this);
}

bool Ember::reportingControllerMustInformDelegateOfReports(EMBCrashReportingController&)
{
    auto delegate = this->delegate();
    return delegate
        && (delegate->implementsDidDetectReportForLastExecution() || delegate->implementsDeprecatedMethods());
}

void Ember::reportingControllerInternalDidDetectReportForLastExecution(
    EMBCrashReportingController&, const std::shared_ptr<EMBInternalReport>& report)
{
    EMBReport wrapped(report);
    auto date = wrapped.dateCreated();
    if (!wrapped.isCrash() || !date)
        return;
    platform::foundation::mainQueue().async([date = *date] { Tally::logPreviousSessionCrashedOnDate(date); });
}

void Ember::reportingControllerDidDetectReportForLastExecution(EMBCrashReportingController& controller,
    const std::shared_ptr<EMBInternalReport>& report, std::function<void(bool submit)> completionHandler)
{
    if (!reportingControllerMustInformDelegateOfReports(controller)) {
        completionHandler(true);
        return;
    }
    auto wrapped = std::make_shared<EMBReport>(report);
    auto delegate = this->delegate();
    if (delegate->implementsDidDetectReportForLastExecution())
        delegate->emberDidDetectReportForLastExecution(wrapped, std::move(completionHandler));
    else
        completionHandler(true);
    platform::foundation::mainQueue().async([self = shared_from_this(), delegate, wrapped] {
        if (delegate->implementsDidDetectCrashDuringPreviousExecutionWithReport())
            delegate->emberDidDetectCrashDuringPreviousExecutionWithReport(*self, wrapped);
        if (delegate->implementsDidDetectCrashDuringPreviousExecution())
            delegate->emberDidDetectCrashDuringPreviousExecution(*self);
    });
}

bool Ember::reportingControllerCanUseBackgroundSessions(EMBCrashReportingController&)
{
    auto delegate = this->delegate();
    if (delegate && delegate->implementsCanUseBackgroundSessions())
        return delegate->emberCanUseBackgroundSessions(*this);
    return !EMBApplicationIsExtension();
}

std::optional<std::string> Ember::APIKeyForBetaController(EMBBetaController&)
{
    return APIKey();
}

EMBSettings Ember::settingsForBetaController(EMBBetaController&)
{
    return EMBSettings(Cairn::sharedSDK().settings());
}

}
