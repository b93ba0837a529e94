#pragma once

#include "conversion/ACTPingerDelegate.h"
#include "conversion/ACTReportingProtocols.h"

#include "platform/foundation/Value.h"

#include <memory>
#include <optional>
#include <string>

namespace conversion {

/// The base of the private reporters, which build and send one kind of ping each. A reporter is its own
/// reporting-info delegate and, but for the activity reporter, its own pinger delegate; both are held
/// weakly, and the pinger of a ping holds its delegate until the ping ends. Make reporters through their
/// classes' make(), which answer nullptr where the reporter refuses to exist. Use on the main thread.
class ACTReporterPrivate : public std::enable_shared_from_this<ACTReporterPrivate> {
public:
    virtual ~ACTReporterPrivate() = default;

    /// Sends one ping, or refuses it: refused by the delegate, without an advertising identifier, or with
    /// a URL that cannot be made ("not sending ping. Invalid URL." logged). True when a ping was started.
    bool report();

    /// The delegate's prefix followed by `parameters` joined with its separator, or nullopt when that is
    /// no valid URL (or there is no delegate).
    std::optional<std::string> reportingURLWithQueryParameters(
        const platform::foundation::DictionaryRef& parameters) const;

    /// The parameters every ping carries: "rdid" (the advertising identifier), "timestamp" (seconds since
    /// 1970, a real), "bundleid", "appversion", "osversion" and "sdkversion"; null without an advertising
    /// identifier.
    virtual platform::foundation::DictionaryRef commonQueryParameters() const;

    /// The class's name, which its log lines begin with.
    virtual std::string className() const = 0;

    const std::weak_ptr<ACTReportingInfoDelegate>& reportingInfoDelegate() const
    {
        return m_reportingInfoDelegate;
    }
    void setReportingInfoDelegate(std::weak_ptr<ACTReportingInfoDelegate> delegate)
    {
        m_reportingInfoDelegate = std::move(delegate);
    }
    const std::weak_ptr<ACTPingerDelegate>& pingerDelegate() const { return m_pingerDelegate; }
    void setPingerDelegate(std::weak_ptr<ACTPingerDelegate> delegate)
    {
        m_pingerDelegate = std::move(delegate);
    }

protected:
    /// Whether the ping needs the device's advertising identifier itself rather than the common "rdid".
    virtual bool requiresDeviceIdentifier() const { return false; }
    /// Writes "<className>: <message>" to the tracker's log.
    void log(const std::string& message) const;

private:
    std::weak_ptr<ACTReportingInfoDelegate> m_reportingInfoDelegate;
    std::weak_ptr<ACTPingerDelegate> m_pingerDelegate;
};

}
