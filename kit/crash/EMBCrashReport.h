#pragma once

#include "platform/foundation/Date.h"
#include "platform/foundation/Value.h"

#include <optional>
#include <string>

namespace kit {

/// A crash report as the app's delegate sees it: what the crashing launch was, and keys the app may add
/// before the report is sent.
class EMBCrashReport {
public:
    virtual ~EMBCrashReport() = default;

    virtual std::string identifier() const = 0;
    virtual std::optional<std::string> bundleVersion() const = 0;
    virtual std::optional<std::string> bundleShortVersionString() const = 0;
    virtual std::optional<platform::foundation::Date> dateCreated() const = 0;
    virtual std::optional<platform::foundation::Date> crashedOnDate() const = 0;
    virtual std::optional<std::string> OSVersion() const = 0;
    virtual std::optional<std::string> OSBuildVersion() const = 0;
    /// Whether the launch crashed (rather than only recording errors or custom exceptions).
    virtual bool isCrash() const = 0;

    /// Adds a custom key to the report; a null value removes it.
    virtual void setObjectValue(const platform::foundation::Value& value, const std::string& key) = 0;
    virtual void setUserIdentifier(const std::string& identifier) = 0;
    virtual void setUserName(const std::string& name) = 0;
    virtual void setUserEmail(const std::string& email) = 0;
};

}
