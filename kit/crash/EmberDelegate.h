#pragma once

#include <functional>
#include <memory>

namespace kit {

class Ember;
class EMBReport;

/// What the app may be told, and asked, by the crash-reporting kit. Every method is optional: each has a
/// do-nothing default and an implements…() question that a delegate overriding the method answers true, so
/// that the kit can tell "not implemented" from "answered the default".
class EmberDelegate {
public:
    /// Called exactly once by the delegate: true submits the report, false deletes it.
    using ReportCompletion = std::function<void(bool submit)>;

    virtual ~EmberDelegate() = default;

    /// A report of the previous launch needs submitting. Called during the kit's start, on the thread that
    /// starts it; the delegate calls `completion` once, later and from any thread if it likes.
    virtual void emberDidDetectReportForLastExecution(
        const std::shared_ptr<EMBReport>& /*report*/, ReportCompletion completion)
    {
        completion(true);
    }
    virtual bool implementsDidDetectReportForLastExecution() const { return false; }

    /// Older form: the previous launch left `report`; told afterwards, on the main queue.
    virtual void emberDidDetectCrashDuringPreviousExecutionWithReport(
        Ember& /*ember*/, const std::shared_ptr<EMBReport>& /*report*/)
    {
    }
    virtual bool implementsDidDetectCrashDuringPreviousExecutionWithReport() const { return false; }

    /// Oldest form: the previous launch left a report; told afterwards, on the main queue.
    virtual void emberDidDetectCrashDuringPreviousExecution(Ember& /*ember*/) { }
    virtual bool implementsDidDetectCrashDuringPreviousExecution() const { return false; }

    /// Whether report uploads may use a background session.
    virtual bool emberCanUseBackgroundSessions(Ember& /*ember*/) { return true; }
    virtual bool implementsCanUseBackgroundSessions() const { return false; }

    /// The process is crashing: called on the crashing thread, inside the fault handler, so it must do
    /// only what is safe there.
    virtual void emberDidDetectCrash(Ember& /*ember*/) { }
    virtual bool implementsDidDetectCrash() const { return false; }

    /// Whether the signal `signal` must reach the process itself rather than be caught as its machine
    /// exception; asked once per handled signal while capture is set up.
    virtual bool emberEnsureDeliveryOfUnixSignal(Ember& /*ember*/, int /*signal*/) { return false; }
    virtual bool implementsEnsureDeliveryOfUnixSignal() const { return false; }

    /// Whether the delegate implements one of the two older forms above.
    bool implementsDeprecatedMethods() const
    {
        return implementsDidDetectCrashDuringPreviousExecutionWithReport()
            || implementsDidDetectCrashDuringPreviousExecution();
    }
};

}
