#pragma once

#include "platform/foundation/Value.h"

#include <optional>
#include <string>

namespace conversion {

/// Decides one kind of ping: whether it may go, what it carries and where.
class ACTReportingInfoDelegate {
public:
    virtual ~ACTReportingInfoDelegate() = default;
    /// False refuses the ping.
    virtual bool shouldReport() = 0;
    /// The ping's own parameters (they win over the common ones).
    virtual platform::foundation::DictionaryRef queryParameters() = 0;
    /// What joins the parameters ("&" or ";").
    virtual std::string queryParameterSeparator() = 0;
    /// What the joined parameters follow in the URL.
    virtual std::string reportingURLPrefix() = 0;
};

/// A reporter whose creation enrols a conversion ID in the hourly automated usage reports.
class ACTAutomatedUsageReporting {
public:
    virtual ~ACTAutomatedUsageReporting() = default;
    /// The ID to enrol, or nullopt for none.
    virtual std::optional<std::string> automatedUsageConversionID() const = 0;
};

}
