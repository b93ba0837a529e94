#pragma once

#include "kit/crash/EMBCrashReport.h"
#include "kit/crash/EMBInternalReport.h"
#include "kit/crash/EMBKeyValueStorage.h"

#include <cstdint>
#include <memory>

namespace kit {

/// An earlier launch's report handed to the app. Keys set on it go into the report's own key-value files,
/// with this launch's limits; they are kept only while this launch's logging is set up.
class EMBReport : public EMBCrashReport {
public:
    explicit EMBReport(std::shared_ptr<EMBInternalReport> internalReport);

    const std::shared_ptr<EMBInternalReport>& internalReport() const { return m_internalReport; }

    std::string identifier() const override { return m_internalReport->identifier(); }
    std::optional<std::string> bundleVersion() const override { return m_internalReport->bundleVersion(); }
    std::optional<std::string> bundleShortVersionString() const override
    {
        return m_internalReport->bundleShortVersionString();
    }
    std::optional<platform::foundation::Date> dateCreated() const override
    {
        return m_internalReport->dateCreated();
    }
    std::optional<platform::foundation::Date> crashedOnDate() const override { return dateCreated(); }
    std::optional<std::string> OSVersion() const override { return m_internalReport->OSVersion(); }
    std::optional<std::string> OSBuildVersion() const override { return m_internalReport->OSBuildVersion(); }
    bool isCrash() const override { return m_internalReport->isCrash(); }

    void setObjectValue(const platform::foundation::Value& value, const std::string& key) override;
    void setUserIdentifier(const std::string& identifier) override;
    void setUserName(const std::string& name) override;
    void setUserEmail(const std::string& email) override;

private:
    void record(const std::string& key, const platform::foundation::Value& value, bool internal);

    std::shared_ptr<EMBInternalReport> m_internalReport;
    std::uint32_t m_internalKVCounter { 0 };
    std::uint32_t m_userKVCounter { 0 };
    EMBKeyValueStorage m_internalStorage;
    EMBKeyValueStorage m_userStorage;
};

}
